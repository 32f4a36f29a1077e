# Sourced by tools/bootstrap.sh and tools/deb_install_check.sh.
# The first archive of the machine's apt sources that carries the main Debian suite, not the
# security one (deb822 .sources files first, then the one-line format).
archive_uri() {
  local uri=""
  if compgen -G "/etc/apt/sources.list.d/*.sources" >/dev/null; then
    uri=$(awk '/^URIs:/ && $2 !~ /security/ {print $2; exit}' /etc/apt/sources.list.d/*.sources)
  fi
  if [ -z "$uri" ] && [ -f /etc/apt/sources.list ]; then
    uri=$(awk '$1 == "deb" { for (i = 2; i <= NF; i++) if ($i ~ /^[a-z]+:\/\// && $i !~ /security/) { print $i; exit } }' /etc/apt/sources.list)
  fi
  echo "$uri"
}
