#!/usr/bin/env bash
# Installs everything the build and the tests need on Debian 12, from Debian's archive only.
# Idempotent: a second run checks and returns in a few seconds.
#   --bench   also the browsers the Linux edition's benchmarks compare with
#             (client/browser/webkit/bench/browser_bench.py, client/paste/bench/paste_bench.py)
#             and the editor the paste benchmark pastes into (Quill, from the npm registry, into
#             $CORVANE_DEPS/npm); the tests do not need them
# Source packages (built by our own build for MinGW) land in $CORVANE_DEPS, fetched through a
# private apt list so the machine's own apt sources stay as they are.
set -euo pipefail

DEPS="${CORVANE_DEPS:-/var/cache/corvane-deps}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

NATIVE_PKGS=(
  build-essential cmake ninja-build pkg-config python3 dpkg-dev ccache
  clang libclang-rt-14-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libjsoncpp-dev libtinyxml2-dev zlib1g-dev libcurl4-openssl-dev curl libssl-dev openssl
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-tools
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  libz-mingw-w64-dev
  wine wine32:i386 wine64 libgnutls30:i386 libgnutls30:amd64 xvfb xauth x11-utils imagemagick python3-pil
  nsis
  libxml2-utils
  fonts-wine fonts-wqy-microhei fonts-dejavu-core
  libgtk-3-dev openbox xdotool xclip libayatana-appindicator3-dev
  at-spi2-core python3-pyatspi
  libwebkit2gtk-4.1-dev dbus-daemon bubblewrap
  lintian desktop-file-utils appstream file debootstrap apt-utils gnupg
  libarchive-dev libapt-pkg-dev pkexec
)
[ "${1:-}" = "--bench" ] && NATIVE_PKGS+=(chromium surf)
# The x86_64 compilers and wine64 build and run the 64-bit test tree on machines whose kernel
# cannot execute i386 code (tools/wine_env.sh decides).
# libgnutls30 (both architectures) is no dependency of Wine, but its bcrypt.dll loads it at run time to
# verify update signatures (ECDSA).
# lintian, desktop-file-utils, appstream and file check the Linux edition's Debian package;
# debootstrap makes the clean Debian root of tools/deb_install_check.sh.
# gnupg makes the package's apt repository key at build time and signs the demo service's apt
# repository, whose Packages and Release apt-utils' apt-ftparchive writes.
# at-spi2-core (the accessibility bus) and python3-pyatspi let the screen-reader walk read the
# Linux client as Orca does.
# libxml2-utils (xmllint) checks the Windows administrative templates (client/policy/templates).
# libarchive and libapt-pkg read and order a Linux update's package; pkexec starts its root helper.

missing=()
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
  missing=("${NATIVE_PKGS[@]}")
else
  for p in "${NATIVE_PKGS[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "bootstrap: installing ${#missing[@]} package(s): ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# MinGW must use the posix thread model so std::thread and std::mutex exist.
for tool in i686-w64-mingw32-g++ i686-w64-mingw32-gcc x86_64-w64-mingw32-g++ x86_64-w64-mingw32-gcc; do
  cur=$(readlink -f "/usr/bin/$tool" || true)
  case "$cur" in
    *-posix) ;;
    *) $SUDO update-alternatives --set "$tool" "/usr/bin/$tool-posix" >/dev/null ;;
  esac
done

# archive_uri: the Debian archive the machine's apt sources name.
. "$(dirname "$0")/archive_uri.sh"

# Debian source packages built for Windows by our build.
fetch_source() {  # $1 = source package, $2 = name of the unpacked folder's stable link
  local pkg="$1" link="$2"
  [ -e "$DEPS/src/$link/CMakeLists.txt" ] && return 0
  mkdir -p "$DEPS/apt/lists/partial" "$DEPS/src"
  if [ ! -f "$DEPS/apt/sources.list" ]; then
    # Source packages from the same archive the machine's binary packages come from.
    local mirror suite
    mirror=$(archive_uri)
    suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
    [ -n "$mirror" ] || { echo "bootstrap: no Debian archive found in the apt sources" >&2; exit 1; }
    echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror $suite main" \
      > "$DEPS/apt/sources.list"
  fi
  local aptopts=(-o "Dir::Etc::SourceList=$DEPS/apt/sources.list" -o "Dir::Etc::SourceParts=-"
                 -o "Dir::State::Lists=$DEPS/apt/lists" -o "APT::Get::List-Cleanup=0")
  if [ ! -f "$DEPS/apt/.updated" ]; then
    $SUDO apt-get "${aptopts[@]}" update -qq
    touch "$DEPS/apt/.updated"
  fi
  echo "bootstrap: fetching source package $pkg"
  (cd "$DEPS/src" && apt-get "${aptopts[@]}" source -qq "$pkg" >/dev/null 2>&1) || \
    (cd "$DEPS/src" && apt-get "${aptopts[@]}" source "$pkg")
  local dir
  dir=$(find "$DEPS/src" -mindepth 1 -maxdepth 1 -type d \( -name "$pkg-*" -o -name "${pkg#lib}-*" \) | sort | tail -n 1)
  [ -n "$dir" ] || { echo "bootstrap: source of $pkg did not unpack" >&2; exit 1; }
  ln -sfn "$dir" "$DEPS/src/$link"
}
fetch_source libjsoncpp jsoncpp
fetch_source tinyxml2 tinyxml2

# The rich-text editor of the paste benchmark, outside the repository.
if [ "${1:-}" = "--bench" ] && [ ! -f "$DEPS/npm/quill-2.0.3/package/dist/quill.js" ]; then
  command -v npm >/dev/null || DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends npm >/dev/null
  mkdir -p "$DEPS/npm/quill-2.0.3"
  (cd "$DEPS/npm" && npm pack --silent quill@2.0.3 >/dev/null && tar -xzf quill-2.0.3.tgz -C quill-2.0.3)
fi

echo "bootstrap: ready (sources in $DEPS/src)"
