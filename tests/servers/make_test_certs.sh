#!/usr/bin/env bash
# Makes a throw-away certificate authority and two server certificates for
# 127.0.0.1 and localhost in DIR: trusted.pem (signed by ca.pem) and
# untrusted.pem (self-signed, so it must be refused). Keys beside them.
set -euo pipefail
dir=${1:?usage: make_test_certs.sh DIR}
mkdir -p "$dir"
cd "$dir"
san="subjectAltName=IP:127.0.0.1,DNS:localhost"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Veltrano Test CA" \
    -keyout ca.key -out ca.pem -addext "basicConstraints=critical,CA:TRUE" \
    -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
openssl req -newkey rsa:2048 -nodes -subj "/CN=127.0.0.1" -keyout trusted.key -out trusted.csr 2>/dev/null
printf '%s\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n' "$san" > trusted.ext
openssl x509 -req -in trusted.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 \
    -extfile trusted.ext -out trusted.pem 2>/dev/null
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=127.0.0.1" -addext "$san" \
    -keyout untrusted.key -out untrusted.pem 2>/dev/null
