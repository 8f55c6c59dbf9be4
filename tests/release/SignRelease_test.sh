#!/usr/bin/env bash
# scripts/sign-release on the Pontara.exe of this build (its argument), with a throwaway
# self-signed code-signing certificate made here: the signed program verifies against that
# certificate and names its signer; removing the signature gives the program back byte for byte;
# the same program and certificate sign to the same bytes; a wrong password signs nothing; and
# the password reaches no command line. Prints "FAILED: <what>" and fails on the first fault.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
program=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

fail() {
    echo "FAILED: $*"
    exit 1
}

# Every osslsigncode and openssl command line of the signing, written down before it runs.
mkdir shims
for tool in osslsigncode openssl; do
    printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>%s/command-lines\nexec %s "$@"\n' \
        "$work" "$(command -v "$tool")" >"shims/$tool"
    chmod +x "shims/$tool"
done

export PONTARA_SIGN_PASSWORD="throwaway-$RANDOM$RANDOM"
openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -days 2 \
    -subj "/CN=Pontara throwaway signer" -addext extendedKeyUsage=codeSigning 2>/dev/null
openssl pkcs12 -export -inkey key.pem -in cert.pem -out signer.p12 -passout env:PONTARA_SIGN_PASSWORD
export PONTARA_SIGN_PKCS12=$work/signer.p12 SOURCE_DATE_EPOCH=1700000000

said=$(PATH="$work/shims:$PATH" "$repo/scripts/sign-release" "$program" signed.exe) ||
    fail "signing with the throwaway certificate"
[ "$said" = "sign-release: signed by /CN=Pontara throwaway signer" ] || fail "it said: $said"
osslsigncode verify -CAfile cert.pem -in signed.exe | grep -qx 'Signature verification: ok' ||
    fail "the signed program does not verify against the throwaway certificate"
if grep -qF "$PONTARA_SIGN_PASSWORD" command-lines; then
    fail "the password was on a command line: $(grep -F "$PONTARA_SIGN_PASSWORD" command-lines)"
fi

osslsigncode remove-signature -in signed.exe -out unsigned.exe >/dev/null
cmp -s unsigned.exe "$program" || fail "signing changed the program beyond adding its signature"
"$repo/scripts/sign-release" "$program" again.exe >/dev/null
cmp -s again.exe signed.exe || fail "the same program and certificate signed to other bytes"

if PONTARA_SIGN_PASSWORD=wrong "$repo/scripts/sign-release" "$program" wrong.exe 2>/dev/null; then
    fail "signing with a wrong password succeeded"
fi
[ ! -e wrong.exe ] || fail "a failed signing left wrong.exe"
echo "signed, verified, reproducible, password kept off command lines"
