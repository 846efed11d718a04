#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets into fuzz/corpus/<target>/.

The text seeds are the sample service's own feeds and ad replies; the binary ones are
written here in the program's file formats (big-endian integers, strings as a 16-bit
length and UTF-8 bytes)."""
import os
import struct

here = os.path.dirname(os.path.abspath(__file__))
root = os.path.dirname(here)
content = os.path.join(root, "sampleserver", "content")


def s(text):
    b = text.encode("utf-8")
    return struct.pack(">H", len(b)) + b


def photo(xx):
    return (b"PHT\x01" + struct.pack(">i", xx) + s("http://rss.kurendal.pl/img/photo_%d.jpg" % xx)
            + s("http://rss.kurendal.pl/img/photo_%d_big.jpg" % xx) + s("Fot. Jan Kamiński") + s("Zdjęcie %d" % xx))


def article(xx, order, read, photos):
    out = b"ART\x01" + struct.pack(">ii", xx, order) + bytes([1 if read else 0])
    for text in ("06-12-2026, 14:07", "Gdańsk: tramwaj wodny popłynie także zimą",
                 "http://www.kurendal.pl/artykul/%d" % xx, "Miasto przedłuża sezon żeglugi.",
                 "<p>Statek kursuje co godzinę.</p>", "Jan Kamiński", "Kraj",
                 "http://rss.kurendal.pl/img/thumb_%d.jpg" % xx):
        out += s(text)
    out += struct.pack(">i", photos)
    for p in range(photos):
        out += photo(xx * 10 + p)
    return out


def channel(count, photos, old=False):
    out = b"RSS\x01" + bytes([count])
    for i in range(count):
        out += article(41000 + i, -(i + 1) if old else i, i % 2 == 0, photos)
    return out + struct.pack(">I", 1796565600)


def write(target, name, data):
    folder = os.path.join(here, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def copy(target, path):
    with open(path, "rb") as f:
        write(target, os.path.basename(path), f.read())


write("channelcache", "empty", channel(0, 0))
write("channelcache", "one", channel(1, 0))
write("channelcache", "three-with-photos", channel(3, 2))
write("channelcache", "old-orders", channel(2, 1, old=True))
write("channelcache", "cut-short", channel(2, 2)[:-30])

write("settings", "defaults", struct.pack(">iiii", 2, 2, 8, 16) + bytes([1] * 9))
write("settings", "manual-evening", struct.pack(">iiii", 0, 3, 17, 23) + bytes([1, 0, 1, 0, 1, 0, 1, 0, 1]))
write("settings", "short", struct.pack(">ii", 4, 1))

write("bannercache", "splash", b"REK\x01\x01" + s("http://ads.kurendal.pl/img/splash.png") + b"\x01"
      + s("http://kino.example.pl/repertuar"))
write("bannercache", "no-splash", b"REK\x01\x00" + s("") + b"\x00" + s(""))
write("bannercache", "foreign-link", b"REK\x01\x01" + s("x") + b"\x01" + s("javascript:alert(1)"))

feeds = os.path.join(content, "rss.kurendal.pl", "pub", "mobi_lg", "out")
for name in ("kraj.xml", "kr_sport.xml"):
    copy("articleparser", os.path.join(feeds, name))
write("articleparser", "empty-feed", b"<?xml version=\"1.0\"?><iphonefeed></iphonefeed>")
write("articleparser", "html-error", b"<html><body><h1>500</h1></body></html>")

copy("galleryparser", os.path.join(content, "www.kurendal.pl", "pub", "rss", "fotoplan.xml"))
write("galleryparser", "item-without-enclosure",
      b"<rss><channel><item><title>A</title><link>http://x/</link></item></channel></rss>")

ads = os.path.join(content, "ads.kurendal.pl", "ad")
for name in sorted(os.listdir(ads)):
    copy("json", os.path.join(ads, name))
write("json", "nested", b"{\"a\":[1,2.5e3,-0.1,true,false,null,{\"b\":\"\\u017c\\n\"}],\"c\":{}}")
