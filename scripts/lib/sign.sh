# Sourced by the release command and its test (sign_test.sh): Authenticode signing with Debian's
# osslsigncode, in one place.
#   zq_sign CERT TIME IN OUT   OUT is IN signed (SHA-256) with the key and certificate of the
#                              PKCS#12 file CERT. Its password is ZQ_SIGN_PASSWORD where that is
#                              set; the signing time is that of the time-stamp server that
#                              ZQ_SIGN_TIMESTAMP_URL names (RFC 3161), else TIME (seconds since
#                              1970), so the same certificate, IN and TIME give the same bytes.
#                              Where it fails, zq_error says why in one line, there is no OUT, and
#                              it returns 1.
zq_sign() {
    local cert=$1 time=$2 in=$3 out=$4 said status=0
    local args=(sign -pkcs12 "$cert" -h sha256 -n "ZENTAQ Tester" -in "$in" -out "$out")
    rm -f "$out"
    if [ ! -f "$cert" ] || [ ! -r "$cert" ]; then
        zq_error="there is no certificate file $cert (or it cannot be read)"
        return 1
    fi
    if [ -n "${ZQ_SIGN_TIMESTAMP_URL:-}" ]; then args+=(-ts "$ZQ_SIGN_TIMESTAMP_URL"); else args+=(-time "$time"); fi
    # From a pipe, so the password is in no command line; osslsigncode reads no empty one, and
    # without one given, osslsigncode 2.14 asks for it on the terminal: the empty one it is then.
    said=$(if [ -n "${ZQ_SIGN_PASSWORD:-}" ]; then
               osslsigncode "${args[@]}" -readpass <(printf '%s' "$ZQ_SIGN_PASSWORD")
           else
               osslsigncode "${args[@]}" -pass ""
           fi 2>&1 </dev/null) || status=$?
    [ "$status" -ne 0 ] || [ ! -f "$out" ] || return 0
    rm -f "$out"
    # osslsigncode 2.5 and 2.9 say "Wrong password?", 2.14 "maybe wrong password" or "empty password".
    if grep -qi 'wrong password\|mac verify failure\|pkcs12 mac\|empty password' <<<"$said"; then
        zq_error="the password does not open the certificate file $cert"
        [ -n "${ZQ_SIGN_PASSWORD:-}" ] || zq_error+=" (ZQ_SIGN_PASSWORD is not set)"
    elif grep -q 'PKCS#12\|Failed to read key or certificates' <<<"$said"; then  # 2.14: the latter alone
        zq_error="$cert is not a PKCS#12 (.pfx) file of a certificate and its key: $(grep -m1 'PKCS#12\|Failed to read key' <<<"$said")"
    else
        zq_error="osslsigncode could not sign $in (status $status): $(grep -m1 -v '^Failed$' <<<"$said" || true)"
    fi
    return 1
}
