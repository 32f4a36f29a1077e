#!/usr/bin/env bash
# The update cycle test's packages, relative to the program's own version V: tiny dpkg-deb trees
# of corvane-client one minor version above V (the offer), V~old (older), of another name, and a
# file that is not a package. The demo service signs each as it serves it.
# Usage: make_cycle_packages.sh OUT_DIR V
set -euo pipefail
out=$1 version=$2
IFS=. read -r major minor patch tweak <<<"$version"
rm -rf "$out" && mkdir -p "$out"
tree=$(mktemp -d "${TMPDIR:-/tmp}/corvane-cycledeb.XXXXXX")
trap 'rm -rf "$tree"' EXIT

# deb FILE PACKAGE VERSION
deb() {
  rm -rf "$tree/root" && mkdir -p "$tree/root/DEBIAN" "$tree/root/usr/share/doc/$2"
  printf 'Package: %s\nVersion: %s\nArchitecture: all\nMaintainer: Drovessa <support@drovessa.com>\nDescription: update cycle test package\n test only\n' \
    "$2" "$3" >"$tree/root/DEBIAN/control"
  echo "$1" >"$tree/root/usr/share/doc/$2/marker"
  dpkg-deb --root-owner-group --build "$tree/root" "$out/$1" >/dev/null
}

next="$major.$((minor + 1)).$patch.$tweak"
deb "corvane-client_${next}_all.deb" corvane-client "$next"
deb "corvane-client_${version}~old_all.deb" corvane-client "$version~old"
deb "corvane-other_${next}_all.deb" corvane-other "$next"
head -c 4096 /dev/urandom >"$out/corvane-client_${next}_notdeb.deb"
touch "$out/stamp"
