#!/usr/bin/env bash
# The Linux update tests' packages: tiny Debian packages made with dpkg-deb (each control.tar
# compression dpkg-deb writes), files that are not packages, and their signatures under the
# build's demo key and under a key the program does not trust.
# Usage: make_test_packages.sh OUT_DIR DEMO_KEY OTHER_KEY
set -euo pipefail
out=$1 demo=$2 other=$3
rm -rf "$out" && mkdir -p "$out"
tree=$(mktemp -d "${TMPDIR:-/tmp}/corvane-testdeb.XXXXXX")
trap 'rm -rf "$tree"' EXIT

# deb NAME PACKAGE VERSION COMPRESSION
deb() {
  rm -rf "$tree/root" && mkdir -p "$tree/root/DEBIAN" "$tree/root/usr/share/doc/$2"
  printf 'Package: %s\nVersion: %s\nArchitecture: all\nMaintainer: Drovessa <support@drovessa.com>\nDescription: update test package\n test only\n' \
    "$2" "$3" >"$tree/root/DEBIAN/control"
  echo "$1" >"$tree/root/usr/share/doc/$2/marker"
  dpkg-deb --root-owner-group -Z"$4" --build "$tree/root" "$out/$1.deb" >/dev/null
}
sign() { openssl dgst -sha256 -sign "$1" -out "$3" "$2"; }

# Installed in the tests: 1:2.0~rc1-1. Newer by its epoch's rules, in every compression.
deb newer_gz corvane-client 1:2.0-1 gzip
deb newer_xz corvane-client 1:2.0-1 xz
deb newer_zst corvane-client 1:2.0-1 zstd
deb newer_none corvane-client 1:2.0-1 none
deb equal corvane-client 1:2.0~rc1-1 gzip
deb older corvane-client 9.9-1 gzip  # no epoch: older than any 1:...
deb other_name corvane-other 1:3.0-1 gzip
head -c 4096 /dev/urandom >"$out/not_a_package.deb"
# An ar archive whose first member is not debian-binary.
printf '2.0\n' >"$tree/debian-binary"
ar x "$out/newer_gz.deb" --output="$tree" control.tar.gz
(cd "$tree" && ar qcD "$out/control_first.deb" control.tar.gz debian-binary)

for f in "$out"/*.deb; do sign "$demo" "$f" "$f.sig"; done
sign "$other" "$out/newer_gz.deb" "$out/newer_gz.deb.other_key.sig"
head -c 40 "$out/newer_gz.deb.sig" >"$out/newer_gz.deb.truncated.sig"
touch "$out/stamp"
