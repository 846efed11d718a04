#!/usr/bin/env bash
# Makes the sample service's own test certificate authority and its server certificate for the
# HTTPS hosts it plays (Twitter's API). Run by hand (the results are committed); tests trust
# this authority in their own process only, the program itself never ignores TLS errors.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
out="$here/../tls"
mkdir -p "$out"
cd "$out"
openssl req -x509 -newkey rsa:2048 -nodes -days 7300 -subj "/CN=Kurendal sample service test CA" \
  -keyout ca.key -out ca.pem 2>/dev/null
openssl req -newkey rsa:2048 -nodes -subj "/CN=api.twitter.com" -keyout server.key -out server.csr 2>/dev/null
printf 'subjectAltName=DNS:api.twitter.com\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n' > server.ext
openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 7300 -extfile server.ext \
  -out server.pem 2>/dev/null
rm -f server.csr server.ext ca.srl ca.key
