#!/usr/bin/env bash
# deb_package_test: builds the Debian package from the linux tree into a scratch folder and checks
# what a school's machine gets: the control fields (dependencies from dpkg-shlibdeps), every file
# and the /usr/bin link, no lintian error, a valid desktop entry and AppStream metainfo, icons of the sizes their
# folders name, the packaged program answering --version through the link, the update helper
# with the PolicyKit action that names it, and the apt repository's entry: one key in the shipped
# keyring, and the source the maintainer scripts write (run on a scratch root through DPKG_ROOT),
# keep and remove, as apt itself reads it.
# Usage: check_package.sh BUILD_DIR VERSION APT_URI
set -euo pipefail
build="$1" version="$2" apt_uri="$3"
app=com.drovessa.CorvaneClient
work=$(mktemp -d "${TMPDIR:-/tmp}/corvane-deb.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB --config CPackConfig.cmake -B "$work" >"$work/cpack.log" 2>&1) ||
  { cat "$work/cpack.log" >&2; fail "cpack"; }
deb="$work/corvane-client_${version}_amd64.deb"
[ -f "$deb" ] || fail "no $(basename "$deb") (made: $(ls "$work"))"

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = corvane-client ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = amd64 ] || fail "Architecture: $(field Architecture)"
depends=$(field Depends)
for lib in libc6 libgtk-3-0 libglib2.0-0 pkexec libarchive13 libapt-pkg6.0; do
  grep -Eq "(^|, )$lib( |,|$)" <<<"$depends" || fail "Depends lacks $lib: $depends"
done

contents=$(dpkg-deb --contents "$deb")
has() { grep -Eq "$1" <<<"$contents" || fail "contents lack $1"; }
has '^-rwxr-xr-x root/root .* \./usr/lib/corvane-client/corvane-client$'
has '^-rwxr-xr-x root/root .* \./usr/lib/corvane-client/corvane-update-helper$'
has '^-rw-r--r-- root/root .* \./usr/share/polkit-1/actions/com\.drovessa\.corvane-client\.update\.policy$'
has '^-rw-r--r-- root/root .* \./usr/lib/corvane-client/skin\.zip$'
has '^-rw-r--r-- root/root .* \./usr/lib/corvane-client/corvane\.png$'
has '^-rw-r--r-- root/root .* \./usr/lib/corvane-client/error_page/Error\.html$'
has '^lrwxrwxrwx root/root .* \./usr/bin/corvane-client -> \.\./lib/corvane-client/corvane-client$'
has "\./usr/share/applications/$app\.desktop$"
has "\./usr/share/metainfo/$app\.metainfo\.xml$"
has '\./usr/share/doc/corvane-client/copyright$'
has '\./usr/share/man/man1/corvane-client\.1\.gz$'
for size in 16 24 32 48 64 128 256; do has "\./usr/share/icons/hicolor/${size}x${size}/apps/$app\.png$"; done
keyring=/usr/share/keyrings/corvane-client-archive-keyring.gpg
has '^-rw-r--r-- root/root .* \./usr/share/keyrings/corvane-client-archive-keyring\.gpg$'

root="$work/root"
dpkg-deb -x "$deb" "$root"
desktop="$root/usr/share/applications/$app.desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate"
for line in "Name=Drovessa老师端" "Exec=corvane-client" "Icon=$app" "Categories=Education;Network;" \
    "StartupNotify=true" "StartupWMClass=Corvane-client"; do
  grep -qxF "$line" "$desktop" || fail "desktop entry lacks $line"
done
grep -q '^GenericName=[A-Za-z]' "$desktop" || fail "desktop entry has no English GenericName"
appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/$app.metainfo.xml" >"$work/as.log" 2>&1 ||
  { cat "$work/as.log" >&2; fail "appstreamcli validate"; }
for size in 16 24 32 48 64 128 256; do
  file "$root/usr/share/icons/hicolor/${size}x${size}/apps/$app.png" | grep -q ", $size x $size," ||
    fail "the ${size}px icon is not $size x $size"
done
lintian --fail-on error,warning --allow-root "$deb" >"$work/lintian.log" 2>&1 ||
  { cat "$work/lintian.log" >&2; fail "lintian"; }
policy="$root/usr/share/polkit-1/actions/com.drovessa.corvane-client.update.policy"
python3 -c 'import sys, xml.etree.ElementTree as t; t.parse(sys.argv[1])' "$policy" ||
  fail "the PolicyKit action is not well-formed XML"
grep -qF '<annotate key="org.freedesktop.policykit.exec.path">/usr/lib/corvane-client/corvane-update-helper</annotate>' \
  "$policy" || fail "the PolicyKit action does not name the helper"
grep -qF '<allow_active>auth_admin_keep</allow_active>' "$policy" || fail "the PolicyKit action is not auth_admin_keep"
# The packaged helper refuses to run as anyone but root (and does nothing else then).
if [ "$(id -u)" -ne 0 ]; then
  set +e; "$root/usr/lib/corvane-client/corvane-update-helper" /nonexistent.deb 2>/dev/null; rc=$?; set -e
  [ "$rc" -eq 2 ] || fail "the helper run by a user exited $rc, not 2 (not root)"
fi
# The repository's keyring holds exactly one key (read in a GnuPG home of its own).
mkdir -m 700 "$work/gnupg"
keys=$(gpg --homedir "$work/gnupg" --batch --with-colons --show-keys "$root$keyring" 2>"$work/gpg.log") ||
  { cat "$work/gpg.log" >&2; fail "gpg cannot read the keyring"; }
[ "$(grep -c '^pub:' <<<"$keys")" -eq 1 ] || fail "the keyring holds $(grep -c '^pub:' <<<"$keys") keys, not 1"

# The apt source: written by the postinst, not a conffile (dpkg would keep it without its keyring).
dpkg-deb --control "$deb" "$work/control"
[ ! -e "$work/control/conffiles" ] || ! grep -q sources.list.d "$work/control/conffiles" || fail "the source is a conffile"
for script in postinst postrm; do
  [ -x "$work/control/$script" ] || fail "no executable $script"
done
scripts="$work/scripts"
source_file="$scripts/etc/apt/sources.list.d/corvane-client.sources"
maint() { DPKG_ROOT="$scripts" sh -e "$work/control/$1" "$2"; }
maint postinst configure
[ -f "$source_file" ] || fail "the postinst wrote no source"
[ "$(stat -c %a "$source_file")" = 644 ] || fail "the source's mode is $(stat -c %a "$source_file")"
for line in "Types: deb" "URIs: $apt_uri" "Suites: stable" "Components: main" "Signed-By: $keyring"; do
  grep -qxF "$line" "$source_file" || fail "the source lacks $line"
done
# apt reads it as one repository of the service host, and as none once an administrator sets
# "Enabled: no", which a later configure keeps.
targets() {
  apt-get -o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$(dirname "$source_file")" \
    -o Dir::State::Lists="$work" indextargets --no-release-info --format '$(URI)' 'Identifier: Packages'
}
expected="$apt_uri/dists/stable/main/binary-$(field Architecture)/Packages"
[ "$(targets | sort -u | grep -v binary-all)" = "$expected" ] || fail "apt reads the source as: $(targets)"
echo "Enabled: no" >>"$source_file"
administered=$(cat "$source_file")
maint postinst configure
[ "$(cat "$source_file")" = "$administered" ] || fail "the postinst changed an administrator's source"
[ -z "$(targets)" ] || fail "apt still uses the source with Enabled: no: $(targets)"
maint postrm upgrade
[ -f "$source_file" ] || fail "an upgrade removed the source"
for action in remove purge; do
  maint postinst configure
  maint postrm "$action"
  [ ! -e "$source_file" ] || fail "the postrm's $action left the source"
done

printed=$("$root/usr/bin/corvane-client" --version)
[ "$printed" = "$version" ] || fail "corvane-client --version printed '$printed'"
echo "deb_package_test: $(basename "$deb") ($(du -k "$deb" | cut -f1) KiB) checked"
