#!/usr/bin/env python3
"""Draws every picture of the resource tree (run by hand; the results are committed).

Needs Debian's python3-pil and fonts-dejavu-core:  /usr/bin/python3 resources/tools/drawimages.py
"""
import os
from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
IMG = os.path.join(HERE, "..", "IMG")
RED = (196, 18, 48)
DARK_RED = (140, 10, 30)
WHITE = (255, 255, 255)
GREY = (67, 67, 67)
FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
# Device pixels per design pixel of the set being drawn: 1, then the @2x and @3x variants.
SCALE = 1


def k(v):
    """A design length in the device pixels of the current set."""
    return v * SCALE


def scaled_name(name):
    if SCALE == 1:
        return name
    root, ext = os.path.splitext(name)
    return "%s@%dx%s" % (root, SCALE, ext)


def font(size):
    return ImageFont.truetype(FONT, size)


def save(img, name):
    path = os.path.join(IMG, scaled_name(name))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    img.save(path)


def gradient(w, h, top, bottom):
    img = Image.new("RGBA", (w, h))
    d = ImageDraw.Draw(img)
    for y in range(h):
        t = y / max(1, h - 1)
        c = tuple(int(top[i] + (bottom[i] - top[i]) * t) for i in range(3))
        d.line([(0, y), (w, y)], fill=c + (255,))
    return img


def bar(w, h, name, title=None):
    w, h = k(w), k(h)
    img = gradient(w, h, (214, 40, 64), DARK_RED)
    d = ImageDraw.Draw(img)
    for i in range(k(1)):
        d.line([(0, h - 1 - i), (w, h - 1 - i)], fill=(90, 0, 15, 255))
    if title:
        f = font(h // 3)
        tw = d.textlength(title, font=f)
        d.text(((w - tw) / 2, h / 2 - h / 6 - k(2)), title, font=f, fill=WHITE)
    save(img, name)


def icon(w, h, name, painter, pressed):
    w, h = k(w), k(h)
    img = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    if pressed:
        d.rounded_rectangle([k(1), k(1), w - k(2), h - k(2)], radius=k(8), fill=(255, 255, 255, 70))
    painter(d, w, h)
    save(img, name)


def pair(w, h, base, painter, sep="_"):
    icon(w, h, base + sep + "off.png", painter, False)
    icon(w, h, base + sep + "on.png", painter, True)


def p_back(d, w, h):
    cy = h / 2
    d.polygon([(w * 0.2, cy), (w * 0.55, cy - h * 0.35), (w * 0.55, cy + h * 0.35)], fill=WHITE)
    d.rectangle([w * 0.5, cy - h * 0.12, w * 0.85, cy + h * 0.12], fill=WHITE)


def p_x(d, w, h):
    s = min(w, h) * 0.32
    cx, cy = w / 2, h / 2
    d.line([(cx - s, cy - s), (cx + s, cy + s)], fill=WHITE, width=k(6))
    d.line([(cx - s, cy + s), (cx + s, cy - s)], fill=WHITE, width=k(6))


def p_briefcase(mark):
    def paint(d, w, h):
        d.rounded_rectangle([w * 0.18, h * 0.32, w * 0.82, h * 0.78], radius=k(5), outline=WHITE, width=k(4))
        d.rectangle([w * 0.4, h * 0.2, w * 0.6, h * 0.32], outline=WHITE, width=k(3))
        if mark:
            f = font(int(h * 0.34))
            tw = d.textlength(mark, font=f)
            d.text(((w - tw) / 2, h * 0.34), mark, font=f, fill=WHITE)
    return paint


def p_refresh(d, w, h):
    box = [w * 0.25, h * 0.25, w * 0.75, h * 0.75]
    d.arc(box, 40, 330, fill=WHITE, width=k(5))
    d.polygon([(w * 0.7, h * 0.2), (w * 0.82, h * 0.42), (w * 0.6, h * 0.4)], fill=WHITE)


def p_menu(d, w, h):
    for i in range(3):
        y = h * (0.32 + 0.17 * i)
        d.rounded_rectangle([w * 0.25, y, w * 0.75, y + h * 0.08], radius=k(2), fill=WHITE)


def p_settings(d, w, h):
    cx, cy, r = w / 2, h / 2, min(w, h) * 0.22
    for i in range(8):
        import math
        a = i * math.pi / 4
        d.line([(cx, cy), (cx + math.cos(a) * r * 1.4, cy + math.sin(a) * r * 1.4)], fill=WHITE, width=k(7))
    d.ellipse([cx - r, cy - r, cx + r, cy + r], fill=WHITE)
    d.ellipse([cx - r / 2, cy - r / 2, cx + r / 2, cy + r / 2], fill=RED)


def p_share(d, w, h):
    pts = [(w * 0.3, h * 0.5), (w * 0.68, h * 0.3), (w * 0.68, h * 0.7)]
    d.line([pts[1], pts[0], pts[2]], fill=WHITE, width=k(4))
    for x, y in pts:
        d.ellipse([x - k(7), y - k(7), x + k(7), y + k(7)], fill=WHITE)


def busy(size, name, colour, background):
    size = size * SCALE
    frames = []
    for k in range(12):
        img = Image.new("RGBA", (size, size), background)
        d = ImageDraw.Draw(img)
        import math
        for i in range(12):
            a = (i / 12.0) * 2 * math.pi
            shade = ((i - k) % 12) / 11.0
            c = tuple(int(background[j] + (colour[j] - background[j]) * (1 - shade)) for j in range(3))
            r1, r2 = size * 0.22, size * 0.45
            cx = cy = size / 2
            d.line([(cx + math.cos(a) * r1, cy + math.sin(a) * r1),
                    (cx + math.cos(a) * r2, cy + math.sin(a) * r2)], fill=c, width=max(2 * SCALE, size // 10))
        frames.append(img.convert("RGB").convert("P", palette=Image.ADAPTIVE))
    path = os.path.join(IMG, scaled_name(name))
    frames[0].save(path, save_all=True, append_images=frames[1:], duration=80, loop=0)


def splash(top=(250, 250, 250), bottom=(232, 232, 232), sub_colour=GREY, name="splash.png"):
    w, h = k(480), k(854)
    img = gradient(w, h, top, bottom)
    d = ImageDraw.Draw(img)
    d.rectangle([0, k(300), w, k(470)], fill=RED + (255,))
    f = font(k(64))
    tw = d.textlength("Kurendal", font=f)
    d.text(((w - tw) / 2, k(345)), "Kurendal", font=f, fill=WHITE)
    f2 = font(k(22))
    sub = "dziennik w Twoim telefonie"
    tw = d.textlength(sub, font=f2)
    d.text(((w - tw) / 2, k(500)), sub, font=f2, fill=sub_colour)
    save(img, name)


def thumbnail():
    w, h = k(84), k(78)
    img = gradient(w, h, (236, 236, 236), (210, 210, 210))
    d = ImageDraw.Draw(img)
    d.rectangle([k(18), k(20), k(66), k(58)], outline=(160, 160, 160), width=k(3))
    d.polygon([(k(22), k(54)), (k(36), k(36)), (k(46), k(48)), (k(54), k(40)), (k(62), k(54))], fill=(160, 160, 160))
    d.ellipse([k(48), k(25), k(56), k(33)], fill=(160, 160, 160))
    save(img, "thumbnail.png")


def message_box():
    w, h = k(439), k(450)
    img = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.rounded_rectangle([k(4), k(4), w - k(5), h - k(5)], radius=k(22), fill=(35, 35, 35, 235),
                        outline=(120, 120, 120, 255), width=k(3))
    save(img, "messagebox/back.png")
    for name, fill in (("normal", (80, 80, 80)), ("normal_on", (120, 120, 120)),
                       ("normal_disabled", (55, 55, 55)), ("red", RED), ("red_on", DARK_RED)):
        b = Image.new("RGBA", (k(390), k(60)), (0, 0, 0, 0))
        bd = ImageDraw.Draw(b)
        bd.rounded_rectangle([k(1), k(1), k(388), k(58)], radius=k(10), fill=fill + (255,), outline=(20, 20, 20, 255),
                             width=k(2))
        save(b, "messagebox/%s.png" % name)


def settings_images():
    for name, checked in (("checkbox_on", True), ("checkbox_off", False)):
        img = Image.new("RGBA", (k(40), k(40)), (0, 0, 0, 0))
        d = ImageDraw.Draw(img)
        d.rounded_rectangle([k(2), k(2), k(37), k(37)], radius=k(6), fill=WHITE, outline=(120, 120, 120), width=k(3))
        if checked:
            d.line([(k(9), k(20)), (k(17), k(29)), (k(31), k(10))], fill=RED, width=k(5))
        save(img, "settings/%s.png" % name)
    for name, open_ in (("tab1", True), ("tab2", False)):
        img = Image.new("RGBA", (k(60), k(75)), (0, 0, 0, 0))
        d = ImageDraw.Draw(img)
        if open_:
            d.polygon([(k(18), k(30)), (k(42), k(30)), (k(30), k(46))], fill=GREY)
        else:
            d.polygon([(k(24), k(24)), (k(24), k(50)), (k(40), k(37))], fill=GREY)
        save(img, "settings/%s.png" % name)
    for name, sign in (("minus", "-"), ("plus", "+")):
        for suffix, fill in (("", RED), ("ON", DARK_RED)):
            img = Image.new("RGBA", (k(80), k(80)), (0, 0, 0, 0))
            d = ImageDraw.Draw(img)
            d.ellipse([k(12), k(12), k(68), k(68)], fill=fill)
            d.rectangle([k(26), k(37), k(54), k(43)], fill=WHITE)
            if sign == "+":
                d.rectangle([k(37), k(26), k(43), k(54)], fill=WHITE)
            save(img, "images/Settings/%s%s.png" % (name, suffix))


def misc():
    red_strip = gradient(k(854), k(36), (214, 40, 64), (170, 20, 40))
    save(red_strip, "belka_czerwona.png")
    img = Image.new("RGBA", (k(30), k(30)), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.polygon([(k(8), k(5)), (k(24), k(15)), (k(8), k(25))], fill=RED)
    save(img, "kategoria_cycek.png")
    for name, fill in (("kropka1", (190, 190, 190)), ("kropka2", RED)):
        img = Image.new("RGBA", (k(25), k(50)), (0, 0, 0, 0))
        d = ImageDraw.Draw(img)
        d.ellipse([k(6), k(19), k(18), k(31)], fill=fill)
        save(img, name + ".png")
    save(gradient(k(854), k(69), (40, 40, 40), (0, 0, 0)), "galeria_pasek_gorny.png")
    bottom = gradient(k(854), k(76), (30, 30, 30), (0, 0, 0))
    save(bottom, "galeria_pasek_dolny.png")
    if SCALE == 1:
        save(Image.new("RGBA", (4, 4), (0, 0, 0, 0)), "../res/trans.png")


def dark_images():
    """The dark look's variants of the pictures that would glare on a dark page."""
    splash((24, 24, 24), (12, 12, 12), (190, 190, 190), "dark/splash.png")
    img = gradient(k(84), k(78), (48, 48, 48), (34, 34, 34))
    d = ImageDraw.Draw(img)
    d.rectangle([k(18), k(20), k(66), k(58)], outline=(110, 110, 110), width=k(3))
    d.polygon([(k(22), k(54)), (k(36), k(36)), (k(46), k(48)), (k(54), k(40)), (k(62), k(54))], fill=(110, 110, 110))
    d.ellipse([k(48), k(25), k(56), k(33)], fill=(110, 110, 110))
    save(img, "dark/thumbnail.png")
    for name, checked in (("checkbox_on", True), ("checkbox_off", False)):
        img = Image.new("RGBA", (k(40), k(40)), (0, 0, 0, 0))
        d = ImageDraw.Draw(img)
        d.rounded_rectangle([k(2), k(2), k(37), k(37)], radius=k(6), fill=(40, 40, 40), outline=(150, 150, 150),
                            width=k(3))
        if checked:
            d.line([(k(9), k(20)), (k(17), k(29)), (k(31), k(10))], fill=(255, 110, 110), width=k(5))
        save(img, "dark/settings/%s.png" % name)
    for name, open_ in (("tab1", True), ("tab2", False)):
        img = Image.new("RGBA", (k(60), k(75)), (0, 0, 0, 0))
        d = ImageDraw.Draw(img)
        if open_:
            d.polygon([(k(18), k(30)), (k(42), k(30)), (k(30), k(46))], fill=(200, 200, 200))
        else:
            d.polygon([(k(24), k(24)), (k(24), k(50)), (k(40), k(37))], fill=(200, 200, 200))
        save(img, "dark/settings/%s.png" % name)
    img = Image.new("RGBA", (k(25), k(50)), (0, 0, 0, 0))
    ImageDraw.Draw(img).ellipse([k(6), k(19), k(18), k(31)], fill=(95, 95, 95))
    save(img, "dark/kropka1.png")


def main():
    dark_images()
    splash()
    thumbnail()
    bar(854, 89, "top_bar.png", "Kurendal")
    bar(854, 53, "article_top_bar.png", "Kurendal")
    bar(854, 79, "bottom_bar.png")
    icon(60, 44, "back_button.png", p_back, False)
    icon(60, 44, "x_button.png", p_x, False)
    icon(64, 64, "galeria_back.png", p_back, False)
    icon(64, 64, "galeria_x.png", p_x, False)
    pair(48, 48, "teczka_soft", p_briefcase(None))
    pair(48, 48, "teczka+soft", p_briefcase("+"))
    pair(48, 48, "teczka-soft", p_briefcase("-"))
    pair(48, 48, "refresh_soft", p_refresh)
    pair(48, 48, "menu_glowne", p_menu)
    pair(48, 48, "settings_soft", p_settings)
    pair(48, 48, "share_soft", p_share)
    busy(21, "busy_red.gif", (255, 255, 255), RED)
    busy(21, "busy_white.gif", (255, 255, 255), RED)
    busy(48, "busy_dark.gif", (230, 230, 230), (40, 40, 40))
    message_box()
    settings_images()
    misc()


def app_icon():
    """The launcher icon: a newspaper page with a red K on a red tile, as PNGs at the usual
    hicolor sizes and as SVG, into packaging/icons/hicolor/ (installed by CMake)."""
    app_id = "pl.kurendal.Kurendal"
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "packaging", "icons", "hicolor")
    top, bottom, red, ink, paper = (214, 40, 64), (140, 10, 30), (196, 18, 48), (150, 150, 150), (255, 255, 255)
    # Shapes on a 256-unit square: the tile, the sheet, the letter, the lines of text.
    tile = (16, 16, 240, 240, 44)
    sheet = (56, 44, 200, 212, 10)
    letter = [
        [(74, 66), (94, 66), (94, 142), (74, 142)],
        [(94, 102), (122, 66), (146, 66), (110, 112)],
        [(104, 104), (146, 142), (122, 142), (94, 114)],
    ]
    lines = [(156, 72, 184, 84), (156, 96, 184, 108), (156, 120, 184, 132),
             (74, 160, 184, 172), (74, 184, 150, 196)]

    def hexa(c):
        return "#%02x%02x%02x" % c

    svg = ['<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">',
           '<defs><linearGradient id="tile" x1="0" y1="0" x2="0" y2="1">'
           '<stop offset="0" stop-color="%s"/><stop offset="1" stop-color="%s"/></linearGradient></defs>'
           % (hexa(top), hexa(bottom)),
           '<rect x="%d" y="%d" width="%d" height="%d" rx="%d" fill="url(#tile)"/>'
           % (tile[0], tile[1], tile[2] - tile[0], tile[3] - tile[1], tile[4]),
           '<rect x="%d" y="%d" width="%d" height="%d" rx="%d" fill="%s"/>'
           % (sheet[0], sheet[1], sheet[2] - sheet[0], sheet[3] - sheet[1], sheet[4], hexa(paper))]
    for poly in letter:
        svg.append('<polygon points="%s" fill="%s"/>' % (" ".join("%d,%d" % p for p in poly), hexa(red)))
    for x0, y0, x1, y1 in lines:
        svg.append('<rect x="%d" y="%d" width="%d" height="%d" rx="3" fill="%s"/>' % (x0, y0, x1 - x0, y1 - y0, hexa(ink)))
    svg.append("</svg>\n")
    path = os.path.join(out, "scalable", "apps", app_id + ".svg")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w") as f:
        f.write("\n".join(svg))

    # The same shapes drawn four times larger, then scaled down to each size.
    k = 4
    big = 256 * k
    shade = Image.new("RGBA", (big, big))
    d = ImageDraw.Draw(shade)
    for y in range(big):
        t = y / (big - 1)
        d.line([(0, y), (big, y)], fill=tuple(int(top[i] + (bottom[i] - top[i]) * t) for i in range(3)) + (255,))
    mask = Image.new("L", (big, big), 0)
    ImageDraw.Draw(mask).rounded_rectangle([c * k for c in tile[:4]], radius=tile[4] * k, fill=255)
    img = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    img.paste(shade, (0, 0), mask)
    d = ImageDraw.Draw(img)
    d.rounded_rectangle([c * k for c in sheet[:4]], radius=sheet[4] * k, fill=paper)
    for poly in letter:
        d.polygon([(x * k, y * k) for x, y in poly], fill=red)
    for box in lines:
        d.rounded_rectangle([c * k for c in box], radius=3 * k, fill=ink)
    for size in (16, 22, 24, 32, 48, 64, 128, 256, 512):
        path = os.path.join(out, "%dx%d" % (size, size), "apps", app_id + ".png")
        os.makedirs(os.path.dirname(path), exist_ok=True)
        img.resize((size, size), Image.LANCZOS).save(path)


if __name__ == "__main__":
    app_icon()
    for SCALE in (1, 2, 3):
        main()
