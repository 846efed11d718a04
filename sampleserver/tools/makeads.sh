#!/usr/bin/env bash
# Draws the sample advertisements (two banners and the splash) and writes their descriptions.
# Run by hand (the results are committed): bash sampleserver/tools/makeads.sh   (needs imagemagick)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
ads="$here/../content/ads.kurendal.pl"
mkdir -p "$ads/img" "$ads/ad"
font=DejaVu-Sans-Bold

banner() { # file, background, text, subtext
  convert -size 320x80 "gradient:$2-#202020" \
    -font "$font" -fill white -pointsize 22 -gravity north -annotate +0+12 "$3" \
    -pointsize 13 -gravity south -annotate +0+12 "$4" \
    -bordercolor '#b9b9b9' -border 0 "PNG24:$ads/img/$1"
}
banner top.png '#1f6fb2' 'Prenumerata Kurendala' 'Pierwszy miesiąc za 1 zł — sprawdź'
banner bottom.png '#2e8b57' 'Bank Pomorski' 'Konto osobiste bez opłat przez rok'

convert -size 480x854 'gradient:#f4c542-#c41230' \
  -font "$font" -fill white -pointsize 44 -gravity center -annotate +0-120 'Kino Bałtyk' \
  -pointsize 26 -annotate +0-50 'Premiery każdego piątku' \
  -pointsize 20 -annotate +0+30 'Dotknij, aby zobaczyć repertuar' \
  "PNG24:$ads/img/splash.png"

describe() { # typ, picture, link
  printf '{"@type":"banner","ImageUrl":{"#text":"http://ads.kurendal.pl/img/%s"},"Href":"%s","Width":"320"}\n' \
    "$2" "$3" > "$ads/ad/GetBanMb-$1.json"
}
describe 101 top.png 'http://www.kurendal.pl/prenumerata'
describe 108 bottom.png 'https://bank.example.pl/konto'
describe 102 splash.png 'http://kino.example.pl/repertuar'
