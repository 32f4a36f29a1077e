#!/usr/bin/env bash
# The publisher's update signing, over openssl (ECDSA P-256, SHA-256, DER signature).
#   update_signing.sh keygen DIR        makes DIR/update_signing_key.pem (private, owner-only)
#                                       and DIR/update_signing_key.pub.pem (for CORVANE_UPDATE_KEY)
#   update_signing.sh sign KEY FILE     writes FILE.sig, the detached signature the client fetches
#                                       beside FILE, and checks it against KEY's public half
set -euo pipefail

die() { echo "update_signing: $*" >&2; exit 2; }

case "${1:-}" in
  keygen)
    [ $# -eq 2 ] || die "usage: update_signing.sh keygen DIR"
    dir=$2
    key="$dir/update_signing_key.pem"
    [ -e "$key" ] && die "$key exists already: a new key would orphan every client built with the old one"
    mkdir -p "$dir"
    (umask 077 && openssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-256 -out "$key")
    openssl pkey -in "$key" -pubout -out "$dir/update_signing_key.pub.pem"
    echo "private key: $key (keep it off build machines)"
    echo "public key:  $dir/update_signing_key.pub.pem (cmake -DCORVANE_UPDATE_KEY=...)"
    ;;
  sign)
    [ $# -eq 3 ] || die "usage: update_signing.sh sign KEY FILE"
    key=$2 file=$3
    [ -f "$key" ] || die "no such key: $key"
    [ -f "$file" ] || die "no such file: $file"
    openssl dgst -sha256 -sign "$key" -out "$file.sig.new" "$file"
    public=$(mktemp)
    trap 'rm -f "$public" "$file.sig.new"' EXIT
    openssl pkey -in "$key" -pubout -out "$public"
    openssl dgst -sha256 -verify "$public" -signature "$file.sig.new" "$file" >/dev/null \
      || die "the new signature does not verify"
    mv "$file.sig.new" "$file.sig"
    echo "signed: $file.sig"
    ;;
  *)
    die "usage: update_signing.sh keygen DIR | sign KEY FILE"
    ;;
esac
