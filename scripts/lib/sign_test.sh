#!/usr/bin/env bash
# The release command's signing (sign.sh) and the way back, with a throwaway certificate made here
# (openssl), no network: the signed exe verifies against that certificate, with the signing time
# given, and twice the same bytes; its signature removed, it is the unsigned exe byte for byte; a
# wrong password, none, no certificate file or another kind of file each stop it, saying which.
#   sign_test.sh EXE
# Prints one line a check; exits 1 on any failure, and where openssl or osslsigncode is missing.
set -uo pipefail
lib=$(cd "${0%/*}" && pwd)
. "$lib/say.sh"
. "$lib/sign.sh"
exe=$1
for tool in openssl osslsigncode; do
    command -v $tool >/dev/null || { echo "FAILED: $tool is not installed (scripts/test.sh installs it)"; exit 1; }
done
unset ZQ_SIGN_TIMESTAMP_URL
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

failures=0
check() {  # check WHAT COMMAND...: one line, ok or not
    if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}

# A self-signed code-signing certificate and its key, in a PKCS#12 file with a password.
if ! openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -days 2 -subj "/CN=ZENTAQ throwaway" \
        -addext extendedKeyUsage=codeSigning >openssl.log 2>&1 ||
   ! openssl pkcs12 -export -inkey key.pem -in cert.pem -out cert.pfx -passout pass:right >>openssl.log 2>&1; then
    echo "FAILED: openssl could not make the throwaway certificate: $(tail -n 1 openssl.log)"
    exit 1
fi

# 1000000000 s: 2001-09-09 01:46:40 UTC.
for out in signed.exe again.exe; do
    ZQ_SIGN_PASSWORD=right zq_sign cert.pfx 1000000000 "$exe" $out || echo "zq_sign: $zq_error"
done
osslsigncode verify -CAfile cert.pem -in signed.exe >verify.log 2>&1
check "the exe is signed and verifies against the certificate" test $? = 0
check "with the signing time given" grep -q "Signing time: Sep  9 01:46:40 2001 GMT" verify.log
check "signed twice, the same bytes" cmp -s signed.exe again.exe
osslsigncode remove-signature -in signed.exe -out removed.exe >/dev/null 2>&1
check "its signature removed, it is the unsigned exe byte for byte" cmp "$exe" removed.exe

refused() {  # refused REASON: zq_sign failed, wrote nothing, and said REASON first
    [ "$status" = 1 ] && [ ! -e failed.exe ] && [[ $zq_error == "$1"* ]] || { echo "  zq_sign: $status, $zq_error"; false; }
}
# ZQ_SIGN_PASSWORD ("-": not set), CERT, the reason zq_sign gives.
while read -r password cert reason; do
    if [ "$password" = - ]; then unset ZQ_SIGN_PASSWORD; else export ZQ_SIGN_PASSWORD=$password; fi
    status=0
    zq_sign "$cert" 1000000000 "$exe" failed.exe || status=$?
    check "${ZQ_SIGN_PASSWORD:+password }${ZQ_SIGN_PASSWORD:-no password}, $cert: refused, as $reason" refused "$reason"
done <<'EOF'
wrong cert.pfx the password does not open the certificate file cert.pfx
- cert.pfx the password does not open the certificate file cert.pfx (ZQ_SIGN_PASSWORD is not set)
right missing.pfx there is no certificate file missing.pfx
right cert.pem cert.pem is not a PKCS#12 (.pfx) file
EOF
[ "$failures" -eq 0 ]
