#!/usr/bin/env bash
# Draws the sample picture gallery (the "Fotoplan" feed) and writes its RSS feed.
# Run by hand (the results are committed): bash sampleserver/tools/makegallery.sh   (needs imagemagick)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
portal="$here/../content/www.kurendal.pl"
mkdir -p "$portal/galeria" "$portal/pub/rss"
font=DejaVu-Sans-Bold

# size, colours, title, page
pictures=(
  "800x600|#1d4e89-#f2d0a4|Zachód słońca nad Bałtykiem w Ustce|zachod-slonca-ustka"
  "600x800|#2f5d3a-#c9e4ca|Jesień w Puszczy Białowieskiej|jesien-w-puszczy"
  "1024x576|#6b2d5c-#f0a6ca|Nocna panorama Warszawy z Pałacu Kultury|panorama-warszawy"
  "640x640|#8c4a1c-#f6c28b|Targ staroci na krakowskim Kazimierzu|targ-staroci"
  "900x500|#0b3954-#bfd7ea|Żaglowce w porcie w Gdyni|zaglowce-gdynia"
  "500x750|#3d405b-#e07a5f|Tatry: pierwszy śnieg na Giewoncie|pierwszy-snieg-giewont"
  "1200x800|#264653-#e9c46a|Kwitnące sady pod Grójcem|kwitnace-sady"
  "720x480|#5a189a-#ffb703|Festiwal świateł w Łodzi|festiwal-swiatel-lodz"
  "480x360|#006d77-#83c5be|Wiosenny spływ kajakowy Krutynią|splyw-krutynia"
)

{
  printf '<?xml version="1.0" encoding="UTF-8"?>\n'
  printf '<rss version="2.0" xmlns:media="http://search.yahoo.com/mrss/">\n<channel>\n'
  printf '<title>Kurendal — Fotoplan</title>\n<link>http://www.kurendal.pl/fotoplan</link>\n'
  printf '<description>Zdjęcia dnia</description>\n'
  n=0
  for entry in "${pictures[@]}"; do
    IFS='|' read -r size colours title page <<< "$entry"
    w="${size%x*}"
    convert -seed $((n + 7)) -size "$size" "plasma:${colours}" -blur 0x2 \
      -fill '#00000080' -draw "rectangle 0,$(( ${size#*x} - 54 )) $w,${size#*x}" \
      -font "$font" -fill white -pointsize 22 -gravity southwest -annotate +14+14 "$title" \
      -quality 85 "$portal/galeria/$n.jpg"
    printf '<item>\n<title>%s</title>\n<link>http://www.kurendal.pl/fotoplan/%s</link>\n' "$title" "$page"
    printf '<description>Fot. Redakcja Kurendala</description>\n'
    printf '<enclosure url="http://www.kurendal.pl/galeria/%s.jpg" type="image/jpeg" length="%s"/>\n</item>\n' \
      "$n" "$(stat -c %s "$portal/galeria/$n.jpg")"
    n=$((n + 1))
  done
  printf '</channel>\n</rss>\n'
} > "$portal/pub/rss/fotoplan.xml"
