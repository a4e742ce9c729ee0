#!/usr/bin/env bash
# check_install.sh [BUILD]: what a user installs is what the build tree
# holds. `make install` with PREFIX and DESTDIR and `cmake --install
# --prefix` put every program of BUILD/bin and its manual page where they
# belong; the Debian package holds the same, its manual pages render
# without one warning, it installs and removes cleanly in a scratch root,
# and the Quillet it installs writes from the example answers it ships the
# same FOR013 as the build tree's Quillet from examples/quillet.txt.
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

# Every program and its manual page under ROOT/PREFIX, and the examples.
expect_installed() {  # root, prefix
  local root=$1 prefix=$2 program
  for program in $programs; do
    [ -x "$root$prefix/bin/$program" ] || fail "$root$prefix/bin/$program missing"
    [ -s "$root$prefix/share/man/man1/$program.1" ] || fail "$root$prefix/share/man/man1/$program.1 missing"
  done
  for file in README.md examples/morvek.txt examples/cindral.txt examples/quillet.txt; do
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
echo "check_install: make install, cmake --install and $(basename "$deb") hold every program and manual page"
