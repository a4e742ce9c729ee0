#!/usr/bin/env bash
# check_install.sh [BUILD]: what a user installs is what the build tree
# holds. `make install` with PREFIX and DESTDIR and `cmake --install
# --prefix` put every program of BUILD/bin and its manual page where they
# belong, with the README and every file it links to (its pictures); the
# Debian package holds the same, its description names every subcommand of
# gwinspect, its manual pages render without one warning, it installs and
# removes cleanly in a scratch root, and the Quillet it installs writes from
# the example answers it ships the same FOR013 as the build tree's Quillet
# from examples/quillet.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
here=$(pwd)
build=${1:-build}
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

# Every program and its manual page under ROOT/PREFIX, and the examples.
expect_installed() {  # root, prefix
  local root=$1 prefix=$2 program
  for program in $programs; do
    [ -x "$root$prefix/bin/$program" ] || fail "$root$prefix/bin/$program missing"
    [ -s "$root$prefix/share/man/man1/$program.1" ] || fail "$root$prefix/share/man/man1/$program.1 missing"
  done
  for file in README.md examples/morvek.txt examples/cindral.txt examples/quillet.txt $readme_links; do
    [ -s "$root$prefix/share/doc/$package/$file" ] || fail "$root$prefix/share/doc/$package/$file missing"
  done
}

make --no-print-directory install BUILD="$build" PREFIX=/opt/gw DESTDIR="$scratch/staged" > /dev/null
expect_installed "$scratch/staged" /opt/gw
cmake --install "$build" --prefix "$scratch/prefix" > /dev/null
expect_installed "$scratch/prefix" ""

make --no-print-directory package BUILD="$build" > /dev/null
deb=$(ls -t "$build"/${package}_*.deb | head -n 1)
dpkg-deb --field "$deb" Package Version Maintainer Description | sed 's/^/  /'
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
man/check_page.sh "$root"/usr/share/man/man1/*.1
[ "$(cd "$root/usr/bin" && ls)" = "$programs" ] || fail "the package's programs differ from $build/bin"

mkdir "$scratch/installed" "$scratch/built"
(cd "$scratch/installed" && "$root/usr/bin/Quillet" < "$root/usr/share/doc/$package/examples/quillet.txt" > /dev/null)
(cd "$scratch/built" && "$here/$build/bin/Quillet" < "$here/examples/quillet.txt" > /dev/null)
cmp "$scratch/installed/FOR013" "$scratch/built/FOR013" || fail "the installed Quillet wrote another FOR013"

# Installed and removed by dpkg itself, into a root of its own.
dpkg_root=$scratch/dpkg-root
mkdir -p "$dpkg_root/var/lib/dpkg/info" "$dpkg_root/var/lib/dpkg/updates"
touch "$dpkg_root/var/lib/dpkg/status"
dpkg_in_root() { dpkg --root="$dpkg_root" --log=/dev/null --force-not-root --force-script-chrootless "$@" > /dev/null; }
dpkg_in_root --install "$deb"
expect_installed "$dpkg_root" /usr
dpkg_in_root --remove "$package"
[ -z "$(find "$dpkg_root/usr" -type f 2> /dev/null)" ] || fail "files left after dpkg --remove"
echo "check_install: make install, cmake --install and $(basename "$deb") hold every program and manual page, the README and its pictures"

# The Windows zip, made by the same `make package` where the MinGW-w64
# toolchain is installed: every .exe of the Windows build, the README and
# the examples and the files the README links to, and no .exe that needs a
# DLL a bare Windows lacks.
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
  for file in README.md examples/morvek.txt examples/cindral.txt examples/quillet.txt $readme_links; do
    cmp -s "$top/$file" "$file" || fail "$file missing from the zip or different"
  done
  for exe in "$top"/*.exe; do
    dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | sort -u | tr '\n' ' ')
    [ "$dlls" = "KERNEL32.dll msvcrt.dll " ] || fail "$(basename "$exe") needs $dlls"
  done
  echo "check_install: $(basename "$zip") holds every .exe (needing only KERNEL32.dll and msvcrt.dll), the README, its pictures and the examples"
fi
