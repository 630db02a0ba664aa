#!/usr/bin/env bash
set -euo pipefail
cd "$(dirname "$0")"
days=36500
openssl req -x509 -newkey rsa:2048 -nodes -keyout ca-key.pem -out ca.pem -days $days \
  -subj "/CN=Zendrik2 Test Authority" -addext "basicConstraints=critical,CA:TRUE" \
  -addext "keyUsage=critical,keyCertSign,cRLSign"
sign() {  # name subject-alt-names
  openssl req -newkey rsa:2048 -nodes -keyout "$1-key.pem" -out "$1.csr" -subj "/CN=$1"
  printf 'subjectAltName=%s\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n' "$2" > "$1.ext"
  openssl x509 -req -in "$1.csr" -CA ca.pem -CAkey ca-key.pem -CAcreateserial -out "$1.pem" -days $days \
    -extfile "$1.ext"
  rm -f "$1.csr" "$1.ext"
}
sign server "IP:127.0.0.1,DNS:localhost"
sign wrong-host "DNS:elsewhere.invalid"
openssl req -x509 -newkey rsa:2048 -nodes -keyout untrusted-key.pem -out untrusted.pem -days $days \
  -subj "/CN=127.0.0.1" -addext "subjectAltName=IP:127.0.0.1,DNS:localhost"
rm -f ca.srl
