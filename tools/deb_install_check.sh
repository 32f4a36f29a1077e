#!/usr/bin/env bash
# Installs, upgrades and removes the Linux edition's Debian package with apt in a clean Debian 12
# root, as a school's technician would. Not part of tools/test.sh: the first run downloads a few
# hundred MB (debootstrap's base system and the package's dependencies), cached for later runs in
# $CORVANE_DEB_CHECK_CACHE (default /var/cache/corvane-deps/debootstrap). Needs root.
#   bash tools/deb_install_check.sh
# Steps: builds the package from the linux tree; makes a second one a version higher from it (the
# same files, its control Version raised); debootstraps bookworm from the archive the machine's
# apt sources name (once, then copied per run); apt installs the package, runs corvane-client
# --version; the package's root helper refuses the higher version changed after signing and
# upgrades to it as signed; then removes the package and checks that none of its files
# are left outside the user's folders while a teacher's settings, cookies and cache stay.
set -euo pipefail
cd "$(dirname "$0")/.."
root_dir="$(pwd)"
. tools/archive_uri.sh
[ "$(id -u)" -eq 0 ] || { echo "deb_install_check: run as root (chroot, mounts)" >&2; exit 1; }

cache="${CORVANE_DEB_CHECK_CACHE:-/var/cache/corvane-deps/debootstrap}"
suite=bookworm
mirror=$(archive_uri)
[ -n "$mirror" ] || { echo "deb_install_check: no Debian archive in the apt sources" >&2; exit 1; }

# The private half of the key the programs were built with: the linux tree's demo key, unless a
# release key is given (CORVANE_DEB_CHECK_SIGNING_KEY, with the tree built for its public half).
signing_key="${CORVANE_DEB_CHECK_SIGNING_KEY:-$root_dir/build/linux/update_key/demo_update_key.pem}"

echo "== building the package"
cmake --preset linux >/dev/null
cmake --build --preset linux -j 2 >/dev/null
version=$(sed -n 's/^project(Corvane VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
(cd build/linux && cpack -G DEB >/dev/null)
deb="build/linux/corvane-client_${version}_amd64.deb"

work=$(mktemp -d /var/tmp/corvane-deb-check.XXXXXX)
chroot_dir="$work/root"
cleanup() {
  for m in proc dev/pts var/cache/apt/archives; do umount "$chroot_dir/$m" 2>/dev/null || true; done
  # Never delete through a mount that is still there (the host's /dev/pts, the apt cache).
  if grep -q " $work/" /proc/mounts; then
    echo "deb_install_check: mounts left under $work; not deleting it" >&2
  else
    rm -rf "$work"
  fi
}
trap cleanup EXIT

echo "== the package one version higher"
IFS=. read -r major minor patch tweak <<<"$version"
next="$major.$((minor + 1)).$patch.$tweak"
dpkg-deb -R "$deb" "$work/next"
sed -i "s/^Version: .*/Version: $next/" "$work/next/DEBIAN/control"
dpkg-deb --root-owner-group -b "$work/next" "$work/corvane-client_${next}_amd64.deb" >/dev/null

base="$cache/$suite-root"
if [ ! -f "$base/.complete" ]; then
  echo "== debootstrap $suite from $mirror into $base (once)"
  rm -rf "$base"; mkdir -p "$cache/archives"
  debootstrap --variant=minbase --cache-dir="$cache/archives" "$suite" "$base" "$mirror"
  touch "$base/.complete"
fi
echo "== a fresh copy of the clean root"
cp -a "$base" "$chroot_dir"
mkdir -p "$cache/apt-archives"
mount -t proc proc "$chroot_dir/proc"
# apt logs its packages' scripts through a pseudo-terminal.
mount --bind /dev/pts "$chroot_dir/dev/pts"
mount --bind "$cache/apt-archives" "$chroot_dir/var/cache/apt/archives"
cp "$deb" "$work/corvane-client_${next}_amd64.deb" "$chroot_dir/tmp/"
in_root() { chroot "$chroot_dir" env DEBIAN_FRONTEND=noninteractive LC_ALL=C.UTF-8 "$@"; }

# A teacher's files, which removal must leave alone.
in_root mkdir -p /home/teacher/.config/corvane /home/teacher/.cache/corvane/corvane_cache \
  /home/teacher/.local/state/corvane
in_root touch /home/teacher/.config/corvane/settings.json /home/teacher/.cache/corvane/corvane_cache/Cookies

echo "== apt install corvane-client $version"
in_root apt-get update -qq
in_root apt-get install -y -qq --no-install-recommends "/tmp/corvane-client_${version}_amd64.deb" >/dev/null
printed=$(in_root corvane-client --version)
echo "corvane-client --version: $printed"
[ "$printed" = "$version" ] || { echo "FAIL: --version printed $printed" >&2; exit 1; }

# The upgrade goes the way the client's install button takes it: the package's own root helper
# (what pkexec starts), which verifies its copy and runs apt-get. First a package changed after
# signing, which it must refuse, then the signed one.
helper=/usr/lib/corvane-client/corvane-update-helper
bash tools/update_signing/update_signing.sh sign "$signing_key" "$chroot_dir/tmp/corvane-client_${next}_amd64.deb" >/dev/null
cp "$chroot_dir/tmp/corvane-client_${next}_amd64.deb" "$chroot_dir/tmp/changed.deb"
cp "$chroot_dir/tmp/corvane-client_${next}_amd64.deb.sig" "$chroot_dir/tmp/changed.deb.sig"
printf 'X' | dd of="$chroot_dir/tmp/changed.deb" bs=1 seek=2000 conv=notrunc status=none
echo "== the root helper refuses a package changed after signing"
status=0; in_root "$helper" /tmp/changed.deb >/dev/null 2>"$work/helper.err" || status=$?
echo "exit $status: $(cat "$work/helper.err")"
[ "$status" -ge 10 ] || { echo "FAIL: the helper did not refuse the changed package" >&2; exit 1; }
installed=$(in_root dpkg-query -W -f='${Version}' corvane-client)
[ "$installed" = "$version" ] || { echo "FAIL: the refused package changed the installation to $installed" >&2; exit 1; }

echo "== the root helper upgrades to $next"
in_root "$helper" "/tmp/corvane-client_${next}_amd64.deb" >/dev/null
installed=$(in_root dpkg-query -W -f='${Version}' corvane-client)
echo "installed: corvane-client $installed"
[ "$installed" = "$next" ] || { echo "FAIL: upgrade left $installed" >&2; exit 1; }
in_root corvane-client --version >/dev/null
[ ! -e "$chroot_dir/var/lib/corvane-client" ] || { echo "FAIL: the helper left /var/lib/corvane-client" >&2; exit 1; }

echo "== apt purge corvane-client"
files=$(in_root dpkg -L corvane-client | grep -v '^/\.$')
in_root apt-get purge -y -qq corvane-client >/dev/null
left=""
for f in $files; do
  # Shared folders (/usr/share/icons/hicolor/...) belong to others as well.
  [ -e "$chroot_dir$f" ] && [ ! -d "$chroot_dir$f" ] && left+=" $f"
  [ -d "$chroot_dir$f" ] && [[ "$f" == *corvane* ]] && left+=" $f"
done
# /run is a tmpfs a reboot empties (the update helper's lock file stays there between runs).
left+=$(cd "$chroot_dir" && find . -xdev \( -path ./home -o -path ./root -o -path ./tmp -o -path ./proc \
  -o -path ./run -o -path ./var/cache/apt/archives \) -prune -o \( -iname '*corvane*' -o -iname '*drovessa*' \) -print |
  sed 's/^\./ /' | tr -d '\n')
[ -z "$left" ] || { echo "FAIL: left after removal:$left" >&2; exit 1; }
for f in /home/teacher/.config/corvane/settings.json /home/teacher/.cache/corvane/corvane_cache/Cookies; do
  [ -f "$chroot_dir$f" ] || { echo "FAIL: removal took $f" >&2; exit 1; }
done
echo "deb_install_check: installed $version, upgraded to $next through the root helper, purged; nothing left outside /home, the teacher's files kept"
