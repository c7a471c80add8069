#!/bin/bash
# Signs a Windows program with Authenticode (osslsigncode, SHA-256), with the key named by
#   KELVO_SIGN_PKCS12         the PKCS#12 file (.p12/.pfx) with the code-signing key and certificate
#   KELVO_SIGN_PASSWORD       its password
#   KELVO_SIGN_TIMESTAMP_URL  optional: an RFC 3161 time-stamp server (the signed program then
#                             differs from one signing to the next)
# The signing time is SOURCE_DATE_EPOCH, so that the same key signs the same program into the
# same bytes.
#   scripts/sign.sh IN OUT
set -euo pipefail
in=$1
out=$2
: "${KELVO_SIGN_PKCS12:?no signing key}" "${SOURCE_DATE_EPOCH:?no signing time}"
# The password reaches osslsigncode in a file only this user can read, not on its command line.
password=$(umask 077 && mktemp)
trap 'rm -f "$password"' EXIT
printf '%s' "${KELVO_SIGN_PASSWORD:-}" >"$password"
timestamp=()
[ -z "${KELVO_SIGN_TIMESTAMP_URL:-}" ] || timestamp=(-ts "$KELVO_SIGN_TIMESTAMP_URL")
rm -f "$out"
osslsigncode sign -pkcs12 "$KELVO_SIGN_PKCS12" -readpass "$password" -h sha256 -n "Kelvo" \
    -time "$SOURCE_DATE_EPOCH" "${timestamp[@]}" -in "$in" -out "$out" >/dev/null
