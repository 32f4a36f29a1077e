#!/usr/bin/env bash
# Installs, upgrades and removes the Linux edition's Debian package with apt in a clean Debian 12
# root, as a school's technician would. Not part of tools/test.sh: the first run downloads a few
# hundred MB (debootstrap's base system and the package's dependencies), cached for later runs in
# $CORVANE_DEB_CHECK_CACHE (default /var/cache/corvane-deps/debootstrap). Needs root.
#   bash tools/deb_install_check.sh
# Steps: builds the package from the linux tree; makes two more a version and two higher from it
# (the same files, their control Version raised); debootstraps bookworm from the archive the
# machine's apt sources name (once, then copied per run); apt installs the package, runs
# corvane-client --version and finds the package's apt source and keyring. The apt route: with no
# repository to reach, apt update warns and goes on; the demo service then serves the next version
# as a signed apt repository at the address the package's source names, first with its Release
# changed after signing, which apt refuses (the installation stays as it was), then as signed:
# unattended-upgrade --dry-run, told the repository's origin, would upgrade the package, and
# apt-get update && apt-get install --only-upgrade corvane-client upgrades it. The helper route: the
# package's root helper refuses the version after it changed after signing and upgrades to it as
# signed, an administrator's "Enabled: no" kept. Then removes the package and checks that none of
# its files (nor its apt source) are left outside the user's folders while a teacher's settings,
# cookies and cache stay.
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
# The apt repository's secret key: the linux tree's demo key (a release key with the tree built
# for its keyring: CORVANE_DEB_CHECK_APT_KEY).
apt_key="${CORVANE_DEB_CHECK_APT_KEY:-$root_dir/build/linux/apt_key/demo_apt_key.asc}"

echo "== building the package"
cmake --preset linux >/dev/null
cmake --build --preset linux -j 2 --target corvane_client corvane_update_helper corvane_package_files bin/skin.zip \
  bin/corvane.png >/dev/null
version=$(sed -n 's/^project(Corvane VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
(cd build/linux && cpack -G DEB >/dev/null)
deb="build/linux/corvane-client_${version}_amd64.deb"

work=$(mktemp -d /var/tmp/corvane-deb-check.XXXXXX)
chroot_dir="$work/root"
demo_state="$work/demo_service.state"
cleanup() {
  python3 tools/demo_service/demo_service.py --stop "$demo_state"
  # The repository's packages apt downloaded into the shared cache: never another run's.
  rm -f "$cache"/apt-archives/corvane-client_*.deb
  for m in proc dev/pts var/cache/apt/archives; do umount "$chroot_dir/$m" 2>/dev/null || true; done
  # Never delete through a mount that is still there (the host's /dev/pts, the apt cache).
  if grep -q " $work/" /proc/mounts; then
    echo "deb_install_check: mounts left under $work; not deleting it" >&2
  else
    rm -rf "$work"
  fi
}
trap cleanup EXIT

echo "== the package one and two versions higher"
IFS=. read -r major minor patch tweak <<<"$version"
next="$major.$((minor + 1)).$patch.$tweak"
after="$major.$((minor + 2)).$patch.$tweak"
dpkg-deb -R "$deb" "$work/unpacked"
for v in "$next" "$after"; do
  sed -i "s/^Version: .*/Version: $v/" "$work/unpacked/DEBIAN/control"
  dpkg-deb --root-owner-group -b "$work/unpacked" "$work/corvane-client_${v}_amd64.deb" >/dev/null
done

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
cp "$deb" "$work/corvane-client_${after}_amd64.deb" "$chroot_dir/tmp/"
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

installed() { in_root dpkg-query -W -f='${Version}' corvane-client; }
source_file=/etc/apt/sources.list.d/corvane-client.sources
keyring=/usr/share/keyrings/corvane-client-archive-keyring.gpg
[ -f "$chroot_dir$source_file" ] && [ -f "$chroot_dir$keyring" ] ||
  { echo "FAIL: no apt source or keyring after the install" >&2; exit 1; }
grep -v '^#' "$chroot_dir$source_file"
uri=$(sed -n 's/^URIs: *//p' "$chroot_dir$source_file")
port=$(sed -n 's|^http://127\.0\.0\.1:\([0-9]*\)/apt$|\1|p' <<<"$uri")
[ -n "$port" ] || { echo "FAIL: the package's repository is $uri, not the demo service's on loopback" >&2; exit 1; }

# The lines about our repository (with their continuation lines) and apt's warnings and errors:
# the Debian archive's progress is not this check's business.
apt_update() {
  status=0
  in_root apt-get update >"$work/update.log" 2>&1 || status=$?
  echo "apt-get update: exit $status"
  awk -v uri="$uri" 'index($0, uri) || /^[WE]: / { print "  " $0; shown = 1; next }
    shown && /^  / { print "  " $0; next } { shown = 0 }' "$work/update.log"
}
echo "== apt update where the repository cannot be reached"
apt_update
[ "$status" -eq 0 ] || { echo "FAIL: an unreachable repository failed apt-get update" >&2; exit 1; }
grep "^W:" "$work/update.log" | grep -qF "$uri" || { echo "FAIL: no warning for the repository" >&2; exit 1; }

python3 tools/demo_service/demo_service.py --start "$demo_state" --port "$port" \
  --apt-package "$work/corvane-client_${next}_amd64.deb" --apt-key "$apt_key" ||
  { echo "FAIL: the demo service could not listen on 127.0.0.1:$port" >&2; exit 1; }
demo() {
  curl -fsS -H "X-Demo-Token: $(sed -n 's/^token //p' "$demo_state")" "http://127.0.0.1:$port$1" >/dev/null
}

echo "== the repository offers $next with its Release changed after signing"
demo "/_demo/apt-release?changed=1"
apt_update
[ "$status" -ne 0 ] || { echo "FAIL: apt-get update took a Release changed after signing" >&2; exit 1; }
status=0; in_root apt-get install -y -qq --only-upgrade corvane-client >"$work/upgrade.log" 2>&1 || status=$?
echo "apt-get install --only-upgrade corvane-client: exit $status; installed: corvane-client $(installed)"
[ "$(installed)" = "$version" ] || { echo "FAIL: apt took the changed repository's $(installed)" >&2; exit 1; }

echo "== the repository offers $next as signed"
demo "/_demo/apt-release?changed=0"
apt_update
[ "$status" -eq 0 ] || { echo "FAIL: apt-get update did not take the signed repository" >&2; exit 1; }
# What the deployment guide tells IT to add for unattended-upgrades (an administrator's file).
echo "== unattended-upgrades, told the repository's origin, would upgrade it"
in_root apt-get install -y -qq --no-install-recommends unattended-upgrades >/dev/null 2>&1
uu_conf=/etc/apt/apt.conf.d/51corvane-client
printf 'Unattended-Upgrade::Origins-Pattern {\n        "origin=Drovessa,label=Drovessa";\n};\n' \
  >"$chroot_dir$uu_conf"
in_root unattended-upgrade --dry-run --debug >"$work/uu.log" 2>&1 || true
grep -E '^Packages that will be upgraded:' "$work/uu.log" | sed 's/^/  /'
grep -Eq '^Packages that will be upgraded:.* corvane-client( |$)' "$work/uu.log" ||
  { echo "FAIL: unattended-upgrade would not upgrade corvane-client" >&2; exit 1; }
rm "$chroot_dir$uu_conf"
[ "$(installed)" = "$version" ] || { echo "FAIL: the dry run changed the installation" >&2; exit 1; }

in_root apt-get install -y -qq --only-upgrade corvane-client >/dev/null 2>&1
echo "apt-get install --only-upgrade corvane-client; installed: corvane-client $(installed)"
[ "$(installed)" = "$next" ] || { echo "FAIL: the apt upgrade left $(installed)" >&2; exit 1; }
in_root corvane-client --version >/dev/null  # the same program: only the package's version was raised

# The client's install button's way: the package's own root helper (what pkexec starts), which
# verifies its copy and runs apt-get. First a package changed after signing, which it must
# refuse, then the signed one. An administrator has turned the repository off meanwhile.
echo "Enabled: no" >>"$chroot_dir$source_file"
helper=/usr/lib/corvane-client/corvane-update-helper
bash tools/update_signing/update_signing.sh sign "$signing_key" "$chroot_dir/tmp/corvane-client_${after}_amd64.deb" >/dev/null
cp "$chroot_dir/tmp/corvane-client_${after}_amd64.deb" "$chroot_dir/tmp/changed.deb"
cp "$chroot_dir/tmp/corvane-client_${after}_amd64.deb.sig" "$chroot_dir/tmp/changed.deb.sig"
printf 'X' | dd of="$chroot_dir/tmp/changed.deb" bs=1 seek=2000 conv=notrunc status=none
echo "== the root helper refuses a package changed after signing"
status=0; in_root "$helper" /tmp/changed.deb >/dev/null 2>"$work/helper.err" || status=$?
echo "exit $status: $(cat "$work/helper.err")"
[ "$status" -ge 10 ] || { echo "FAIL: the helper did not refuse the changed package" >&2; exit 1; }
[ "$(installed)" = "$next" ] || { echo "FAIL: the refused package changed the installation to $(installed)" >&2; exit 1; }

echo "== the root helper upgrades to $after"
in_root "$helper" "/tmp/corvane-client_${after}_amd64.deb" >/dev/null
echo "installed: corvane-client $(installed)"
[ "$(installed)" = "$after" ] || { echo "FAIL: upgrade left $(installed)" >&2; exit 1; }
in_root corvane-client --version >/dev/null
[ ! -e "$chroot_dir/var/lib/corvane-client" ] || { echo "FAIL: the helper left /var/lib/corvane-client" >&2; exit 1; }
[ "$(tail -n 1 "$chroot_dir$source_file")" = "Enabled: no" ] ||
  { echo "FAIL: the upgrade did not keep the administrator's Enabled: no" >&2; exit 1; }

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
echo "deb_install_check: installed $version, upgraded to $next through apt from the signed repository (the changed one refused), to $after through the root helper, purged; nothing left outside /home, the teacher's files kept"
