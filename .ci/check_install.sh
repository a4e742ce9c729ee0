#!/usr/bin/env bash
# check_install.sh [BUILD]: what a user installs is what the build tree
# holds. `make install` with PREFIX and DESTDIR and `cmake --install
# --prefix` put every program of BUILD/bin, its gzipped manual page and its
# bash completion where they belong, with the README and every file it links
# to (its pictures); the Debian package (made in DEB_BUILD, default
# build-deb) holds the same, its description names every subcommand of
# gwinspect, its programs linked against the system's libraries that its
# Depends names, its manual pages render without one warning, its bash
# completion completes, it installs and
# removes cleanly in a scratch root, and the Quillet it installs writes from
# the example answers it ships the same FOR013 as the build tree's Quillet
# from examples/quillet.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
here=$(pwd)
build=${1:-build}
deb_build=${DEB_BUILD:-build-deb}
package=groundwater-input-builders
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "check_install: $*" >&2; exit 1; }

programs=$(cd "$build/bin" && ls)
[ -n "$programs" ] || fail "no program in $build/bin"
# The files the README links to by a relative path (![...](doc/x.png) and
# the like), which a reader of the installed README looks for beside it.
readme_links=$(grep -o '](\([^)]*\))' README.md | sed 's/^](\([^ #)]*\).*/\1/' | grep -v -e '^$' -e ':' | sort -u || true)
for file in $readme_links; do [ -f "$file" ] || fail "README.md links to $file, which is not in the tree"; done

examples="examples/morvek.txt examples/cindral.txt examples/quillet.txt
          examples/faulty/morvek.txt examples/faulty/cindral.txt examples/faulty/quillet.txt"
# The README and every page it links to, in the places they have here.
documents="README.md doc/report.png $(ls docs/*.md) bench/README.md"

# Every program, its manual page and its completion under ROOT/PREFIX, the
# README with the guides, the copyright, the changelog and the examples; and
# every link of the installed pages leads to an installed file.
expect_installed() {  # root, prefix
  local root=$1 prefix=$2 program file
  for program in $programs; do
    [ -x "$root$prefix/bin/$program" ] || fail "$root$prefix/bin/$program missing"
    gzip -t "$root$prefix/share/man/man1/$program.1.gz" 2> /dev/null \
      || fail "$root$prefix/share/man/man1/$program.1.gz missing or not gzip"
    [ -s "$root$prefix/share/bash-completion/completions/$program" ] \
      || fail "$root$prefix/share/bash-completion/completions/$program missing"
  done
  for file in copyright changelog.Debian.gz; do
    [ -s "$root$prefix/share/doc/$package/$file" ] || fail "$root$prefix/share/doc/$package/$file missing"
  done
  for file in $documents $examples; do
    cmp -s "$root$prefix/share/doc/$package/$file" "$file" \
      || fail "$root$prefix/share/doc/$package/$file missing or different"
  done
  docs/check_links.sh "$root$prefix/share/doc/$package" || fail "a link of the installed pages leads nowhere"
}

make --no-print-directory install BUILD="$build" PREFIX=/opt/gw DESTDIR="$scratch/staged" > /dev/null
expect_installed "$scratch/staged" /opt/gw
cmake --install "$build" --prefix "$scratch/prefix" > /dev/null
expect_installed "$scratch/prefix" ""

make --no-print-directory package BUILD="$build" DEB_BUILD="$deb_build" > /dev/null
deb=$(ls -t "$deb_build"/${package}_*.deb | head -n 1)
dpkg-deb --field "$deb" Package Version Maintainer Depends Description | sed 's/^/  /'
description=$(dpkg-deb --field "$deb" Description | tr -s ' \n' '  ')
subcommands=$("$build/bin/gwinspect" --help | sed -n 's/^  gwinspect \([a-z][a-z]*\) .*/\1/p')
[ -n "$subcommands" ] || fail "gwinspect --help lists no subcommand"
for subcommand in $subcommands; do
  case $description in
    *"gwinspect $subcommand "*) ;;
    *) fail "the package's description does not name gwinspect $subcommand" ;;
  esac
done
root=$scratch/extracted
dpkg -x "$deb" "$root"
expect_installed "$root" /usr
man/check_page.sh "$root"/usr/share/man/man1/*.1.gz
completion/check_completion.sh "$root/usr/bin" "$root/usr/share/bash-completion/completions/gwinspect" > /dev/null \
  || fail "the package's bash completion does not complete"
[ "$(cd "$root/usr/bin" && ls)" = "$programs" ] || fail "the package's programs differ from $build/bin"
# Linked against the system's libraries, each of them a package in Depends.
depends=$(dpkg-deb --field "$deb" Depends)
depended=" $(sed 's/ ([^)]*)//g; s/,//g' <<< "$depends") "  # the package names alone
for library in libc6 libstdc++6 zlib1g; do
  [[ $depended == *" $library "* ]] || fail "Depends lacks $library: $depends"
done
for program in $programs; do
  readelf --dynamic "$root/usr/bin/$program" | grep NEEDED > /dev/null || fail "$program in the package is linked statically"
done

# The package's programs (linked against the system's libraries) against the
# build tree's (linked statically): the same files from the same answers,
# and the same findings of gwinspect check on them.
mkdir "$scratch/installed" "$scratch/built"
for builder in Morvek:morvek:FOR001 Cindral:cindral:FOR011 Quillet:quillet:FOR013; do
  IFS=: read -r program answers file <<< "$builder"
  (cd "$scratch/installed" && "$root/usr/bin/$program" < "$root/usr/share/doc/$package/examples/$answers.txt" > /dev/null)
  (cd "$scratch/built" && "$here/$build/bin/$program" < "$here/examples/$answers.txt" > /dev/null)
  cmp "$scratch/installed/$file" "$scratch/built/$file" || fail "the installed $program wrote another $file"
done
findings() { (cd "$2" && "$1" check .) || true; }  # a finding may well fail the check
[ "$(findings "$root/usr/bin/gwinspect" "$scratch/installed")" = "$(findings "$here/$build/bin/gwinspect" "$scratch/built")" ] \
  || fail "the installed gwinspect check finds otherwise"

# Installed and removed by dpkg itself, into a root of its own (which holds
# no other package, so none of the Depends is there to be checked).
dpkg_root=$scratch/dpkg-root
mkdir -p "$dpkg_root/var/lib/dpkg/info" "$dpkg_root/var/lib/dpkg/updates"
touch "$dpkg_root/var/lib/dpkg/status"
dpkg_in_root() {  # quiet, but for what it said when it fails
  local said
  said=$(dpkg --root="$dpkg_root" --log=/dev/null --force-not-root --force-script-chrootless \
              --force-depends "$@" 2>&1) || { echo "$said" >&2; return 1; }
}
dpkg_in_root --install "$deb"
expect_installed "$dpkg_root" /usr
dpkg_in_root --remove "$package"
[ -z "$(find "$dpkg_root/usr" -type f 2> /dev/null)" ] || fail "files left after dpkg --remove"
echo "check_install: make install, cmake --install and $(basename "$deb") hold every program, manual page and completion, the README and its pictures"

# The Windows zip, made by the same `make package` where the MinGW-w64
# toolchain is installed: every .exe of the Windows build with its manual
# page as text, the README with the guides (every link leading to a file of
# the zip) and the examples, and no .exe that needs a DLL a bare Windows
# lacks.
windows_build=${WINDOWS_BUILD:-build-windows}
if command -v x86_64-w64-mingw32-objdump > /dev/null 2>&1; then
  zip=$(ls -t "$here/$windows_build"/${package}-*-windows-x86_64.zip 2> /dev/null | head -n 1)
  [ -n "$zip" ] || fail "make package made no Windows zip"
  unzipped=$scratch/zip
  mkdir "$unzipped"
  (cd "$unzipped" && cmake -E tar xf "$zip")
  top=$unzipped/$(basename "$zip" .zip)
  [ "$(cd "$top" && ls *.exe)" = "$(cd "$windows_build/bin" && ls *.exe)" ] \
    || fail "the zip's programs differ from $windows_build/bin"
  for file in $documents $examples; do
    cmp -s "$top/$file" "$file" || fail "$file missing from the zip or different"
  done
  docs/check_links.sh "$top" || fail "a link of the zip's pages leads nowhere"
  for exe in "$top"/*.exe; do
    program=$(basename "$exe" .exe)
    text=$top/man/$program.txt
    [ -s "$text" ] || fail "the zip has no manual page of $program (man/$program.txt)"
    head -n 1 "$text" | grep -q "^$program(1) " || fail "man/$program.txt is not the manual page of $program"
    grep -q "^NAME" "$text" || fail "man/$program.txt has no NAME section"
    ! grep -q $'[\b\033]' "$text" || fail "man/$program.txt holds terminal escapes or overstrikes"
  done
  for exe in "$top"/*.exe; do
    dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | sort -u | tr '\n' ' ')
    [ "$dlls" = "KERNEL32.dll msvcrt.dll " ] || fail "$(basename "$exe") needs $dlls"
  done
  echo "check_install: $(basename "$zip") holds every .exe (needing only KERNEL32.dll and msvcrt.dll) with its manual page, the README, the guides and the examples"
fi
