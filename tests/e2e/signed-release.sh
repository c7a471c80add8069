#!/bin/bash
# A signed release: makes a throw-away code-signing certificate, packages with it, checks that
# the program in the zip carries that signature and matches SHA256SUMS, and walks the signed
# program through an update against the simulator. The i686 tree walks the program from the
# zip; the x86_64 tree signs its own program with the same key and walks that.
#   signed-release.sh SOURCE_ROOT BUILD_TREE FIRMWARE_FILE      (run on an X display)
set -euo pipefail
root=$1
tree=$2
firmware=$3
work=$(mktemp -d /tmp/kelvo-signed-XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work"

openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -days 2 \
    -subj "/CN=Kelvo test signer $$" -addext keyUsage=digitalSignature \
    -addext extendedKeyUsage=codeSigning 2>/dev/null
openssl pkcs12 -export -inkey key.pem -in cert.pem -out key.p12 -passout pass:test-password
export KELVO_SIGN_PKCS12=$work/key.p12 KELVO_SIGN_PASSWORD=test-password
KELVO_BUILD=$(dirname "$tree") KELVO_DIST=$work/dist "$root/scripts/package.sh"

mkdir unpacked
unzip -q dist/KelvoUpdate-*.zip -d unpacked
cp dist/SHA256SUMS dist/KelvoUpdate-*.zip unpacked/
(cd unpacked && sha256sum -c SHA256SUMS)
# The chain must end at this test's certificate, and nowhere else.
osslsigncode verify -in unpacked/KelvoUpdate.exe -CAfile cert.pem >verify.txt ||
    { cat verify.txt; echo "signed-release: the program in the zip is not signed by the test key"; exit 1; }
grep -F "Subject: /CN=Kelvo test signer $$" verify.txt

program=unpacked/KelvoUpdate.exe
if [ "$(basename "$tree")" != i686 ]; then
    SOURCE_DATE_EPOCH=$(date +%s) "$root/scripts/sign.sh" "$tree/bin/KelvoUpdate.exe" signed.exe
    osslsigncode verify -in signed.exe -CAfile cert.pem >/dev/null
    program=signed.exe
fi
"$tree/wine-run" "$tree/tools/kelvo_walk.exe" --program="$work/$program" \
    --firmware="$firmware" --work="$work/walk" | tee walk.txt
grep -F "ファームウェアの更新に成功しました." walk.txt
