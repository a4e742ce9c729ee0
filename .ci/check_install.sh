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
# from examples/quillet.txt. Where the build makes the Python package's
# module, every install holds the package gwbuilders in
# lib/python3/dist-packages, and an install into a prefix imports it from
# there and reads the example model; so does the second Debian package,
# python3-gwbuilders, which holds that and its copyright, changelog and
# lintian overrides alone; and `make package` makes the wheel, which holds
# the package.
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

# The example model, written by the build tree's builders.
mkdir "$scratch/built"
for builder in Morvek:morvek:FOR001 Cindral:cindral:FOR011 Quillet:quillet:FOR013; do
  IFS=: read -r program answers file <<< "$builder"
  (cd "$scratch/built" && "$here/$build/bin/$program" < "$here/examples/$answers.txt" > /dev/null)
done

# The Python package where the build made its module: its files in
# Debian's dist-packages under ROOT/PREFIX, the module named for the
# interpreter's version, and the system's python3, told that folder alone
# (PYTHONPATH), imports it from there and reads the example model (its
# values as docs/python.md gives them).
python_dist=lib/python3/dist-packages
python_files=$(cd python/src/gwbuilders && ls *.py py.typed)
has_python=$(ls "$build"/python/_native*.so 2> /dev/null || true)
module=_native$(/usr/bin/python3 -c 'import sysconfig; print(sysconfig.get_config_var("EXT_SUFFIX"))')
reads_example() {  # dist-packages folder
  (cd "$scratch" && PYTHONPATH=$1 /usr/bin/python3 -s - "$1" "$scratch/built" <<'PYTHON'
import sys
from pathlib import Path
import numpy
import gwbuilders
place, folder = sys.argv[1], sys.argv[2]
assert Path(gwbuilders.__file__).resolve().is_relative_to(Path(place).resolve()), gwbuilders.__file__
model = gwbuilders.read_model(folder)
assert model.basic.title_1 == "Riverside valley aquifer, two-layer model", model.basic.title_1
assert model.basic.shape == (2, 6, 7), model.basic.shape
assert model.flow.hydcon[0, 0, 0] == 12.5, model.flow.hydcon[0, 0, 0]
assert (model.drains.periods[0]["elevation"] == numpy.float32([95.5, 94.3])).all(), model.drains.periods[0]
assert model.drains.periods[1] == -1, model.drains.periods[1]
PYTHON
  )
}
expect_python() {  # root, prefix
  local dist=$1$2/$python_dist file
  for file in $python_files; do
    cmp -s "$dist/gwbuilders/$file" "python/src/gwbuilders/$file" || fail "$dist/gwbuilders/$file missing or different"
  done
  [ -f "$dist/gwbuilders/$module" ] || fail "$dist/gwbuilders/$module missing"
  reads_example "$dist" || fail "gwbuilders in $dist does not import or read the example model"
}

make --no-print-directory install BUILD="$build" PREFIX=/opt/gw DESTDIR="$scratch/staged" > /dev/null
expect_installed "$scratch/staged" /opt/gw
cmake --install "$build" --prefix "$scratch/prefix" > /dev/null
expect_installed "$scratch/prefix" ""
if [ -n "$has_python" ]; then
  expect_python "$scratch/staged" /opt/gw
  expect_python "$scratch/prefix" ""
fi

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
mkdir "$scratch/installed"
for builder in Morvek:morvek:FOR001 Cindral:cindral:FOR011 Quillet:quillet:FOR013; do
  IFS=: read -r program answers file <<< "$builder"
  (cd "$scratch/installed" && "$root/usr/bin/$program" < "$root/usr/share/doc/$package/examples/$answers.txt" > /dev/null)
  cmp "$scratch/installed/$file" "$scratch/built/$file" || fail "the installed $program wrote another $file"
done
findings() { (cd "$2" && "$1" check .) || true; }  # a finding may well fail the check
[ "$(findings "$root/usr/bin/gwinspect" "$scratch/installed")" = "$(findings "$here/$build/bin/gwinspect" "$scratch/built")" ] \
  || fail "the installed gwinspect check finds otherwise"
[ ! -e "$root/usr/lib/python3" ] || fail "$(basename "$deb") holds Python files, which are python3-gwbuilders'"

# The second package, python3-gwbuilders: in section python, built from the
# same source, depending on python3 of the module's version, numpy and the
# libraries the module links; exactly the package gwbuilders in
# /usr/lib/python3/dist-packages with its copyright, changelog and lintian
# overrides, and its extracted tree imports gwbuilders and reads the
# example model. The wheel holds the same package.
python_deb=
if [ -n "$has_python" ]; then
  python_deb=$(ls -t "$deb_build"/python3-gwbuilders_*.deb 2> /dev/null | head -n 1)
  [ -n "$python_deb" ] || fail "make package made no python3-gwbuilders package"
  dpkg-deb --field "$python_deb" Package Version Source Section Depends | sed 's/^/  /'
  [ "$(dpkg-deb --field "$python_deb" Section)" = python ] || fail "python3-gwbuilders is not in section python"
  [ "$(dpkg-deb --field "$python_deb" Source)" = "$package" ] || fail "python3-gwbuilders does not name its source $package"
  [ "$(dpkg-deb --field "$python_deb" Version)" = "$(dpkg-deb --field "$deb" Version)" ] \
    || fail "the two packages' versions differ"
  python_version=$(/usr/bin/python3 -c 'import sys; print("%d.%d" % sys.version_info[:2])')
  python_depends=$(dpkg-deb --field "$python_deb" Depends)
  depended=" $(sed 's/ ([^)]*)//g; s/,//g' <<< "$python_depends") "
  for dependency in python3 python3-numpy libc6 libstdc++6; do
    [[ $depended == *" $dependency "* ]] || fail "python3-gwbuilders' Depends lacks $dependency: $python_depends"
  done
  [[ $python_depends == *"python3 (>= $python_version~)"* ]] \
    || fail "python3-gwbuilders does not depend on python3 $python_version: $python_depends"
  expected_files=$( (for file in $python_files $module; do echo "./usr/$python_dist/gwbuilders/$file"; done
                     echo ./usr/share/doc/python3-gwbuilders/copyright
                     echo ./usr/share/doc/python3-gwbuilders/changelog.Debian.gz
                     echo ./usr/share/lintian/overrides/python3-gwbuilders) | sort)
  [ "$(dpkg-deb --contents "$python_deb" | awk '$1 !~ /^d/ {print $NF}' | sort)" = "$expected_files" ] \
    || fail "python3-gwbuilders holds other files than $expected_files"
  python_root=$scratch/python-extracted
  dpkg -x "$python_deb" "$python_root"
  expect_python "$python_root" /usr
  readelf --dynamic "$python_root/usr/$python_dist/gwbuilders/$module" | grep -q 'NEEDED.*libstdc++' \
    || fail "the module in python3-gwbuilders does not link the system's libstdc++"
  wheel=$(ls -t "$deb_build"/gwbuilders-*.whl 2> /dev/null | head -n 1)
  [ -n "$wheel" ] || fail "make package made no wheel"
  wheel_files=$(/usr/bin/python3 -m zipfile -l "$wheel" | awk 'NR > 1 {print $1}' | grep '^gwbuilders/' | sort)
  [ "$wheel_files" = "$(for file in $python_files $module; do echo "gwbuilders/$file"; done | sort)" ] \
    || fail "the wheel holds $wheel_files"
fi

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
dpkg_in_root --install "$deb" $python_deb
expect_installed "$dpkg_root" /usr
if [ -n "$python_deb" ]; then
  expect_python "$dpkg_root" /usr
  dpkg_in_root --remove python3-gwbuilders
fi
dpkg_in_root --remove "$package"
[ -z "$(find "$dpkg_root/usr" -type f 2> /dev/null)" ] || fail "files left after dpkg --remove"
echo "check_install: make install, cmake --install and $(basename "$deb") hold every program, manual page and completion, the README and its pictures"
if [ -n "$python_deb" ]; then
  echo "check_install: make install, cmake --install, $(basename "$python_deb") and $(basename "$wheel") hold gwbuilders, which imports and reads the example model"
fi

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
