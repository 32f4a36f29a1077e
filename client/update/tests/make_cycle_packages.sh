#!/usr/bin/env bash
# The update cycle test's packages, relative to the program's own version V, each a repack of a
# tiny corvane-client package (the verification tests' BASE) with its control fields rewritten,
# as tools/deb_install_check.sh makes its upgrade: corvane-client one minor version above V (the
# offer), V~old (older), another package's name, and a file that is not a package. The demo
# service signs each as it serves it.
# Usage: make_cycle_packages.sh OUT_DIR V BASE_DEB
set -euo pipefail
out=$1 version=$2 base=$3
IFS=. read -r major minor patch tweak <<<"$version"
rm -rf "$out" && mkdir -p "$out"
tree=$(mktemp -d "${TMPDIR:-/tmp}/corvane-cycledeb.XXXXXX")
trap 'rm -rf "$tree"' EXIT

# repack FILE PACKAGE VERSION
repack() {
  rm -rf "$tree/root" && dpkg-deb -R "$base" "$tree/root"
  sed -i -e "s/^Package: .*/Package: $2/" -e "s/^Version: .*/Version: $3/" "$tree/root/DEBIAN/control"
  dpkg-deb --root-owner-group -b "$tree/root" "$out/$1" >/dev/null
}

next="$major.$((minor + 1)).$patch.$tweak"
repack "corvane-client_${next}_all.deb" corvane-client "$next"
repack "corvane-client_${version}~old_all.deb" corvane-client "$version~old"
repack "corvane-other_${next}_all.deb" corvane-other "$next"
head -c 4096 /dev/urandom >"$out/corvane-client_${next}_notdeb.deb"
touch "$out/stamp"
