#!/usr/bin/python3
"""Draws every bitmap and icon of PIXRES.DLL.

    /usr/bin/python3 resources/art/gen_art.py [OUTDIR]

writes the .bmp and .ico files next to this script (or into OUTDIR). The build
uses the committed files; run this only after changing a picture, then look at
the results and commit them together with this script.

Needs python3-pil, fonts-dejavu-core and fonts-wine (Debian). PIL writes
neither 4-bit BMPs nor 16-colour icons, so the file writers below are our own.

The larger pictures are drawn four times too big and scaled down, which gives
smooth edges; the 16 by 16 images and the 32 by 32 icons are drawn pixel by
pixel in the standard 16-colour palette, where smoothing would only blur.
"""
import math
import os
import struct
import sys

from PIL import Image, ImageDraw, ImageFilter, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
FONT_DIR = "/usr/share/fonts/truetype/dejavu"

# The standard 16-colour palette, in the order 4-bit Windows bitmaps use.
VGA = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = VGA[:8]
GRAY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = VGA[8:]

# Button face: the classic 3-D face colour, so the bitmaps sit on a dialog.
FACE = SILVER


def font(size, bold=True, serif=False):
    name = "DejaVu%s%s.ttf" % ("Serif" if serif else "Sans", "-Bold" if bold else "")
    return ImageFont.truetype(os.path.join(FONT_DIR, name), size)


# --------------------------------------------------------------- file writers

def _bmp(path, width, height, bpp, palette, rows):
    """rows: top-down list of lists of palette indices."""
    stride = ((width * bpp + 31) // 32) * 4
    data = bytearray()
    for row in reversed(rows):  # DIBs are stored bottom-up
        line = bytearray()
        if bpp == 8:
            line += bytes(row)
        else:
            for x in range(0, width, 2):
                hi = row[x]
                lo = row[x + 1] if x + 1 < width else 0
                line.append((hi << 4) | lo)
        line += b"\0" * (stride - len(line))
        data += line
    ncolors = 1 << bpp
    pal = bytearray()
    for i in range(ncolors):
        r, g, b = palette[i] if i < len(palette) else (0, 0, 0)
        pal += bytes((b, g, r, 0))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bpp, 0, len(data),
                       2835, 2835, ncolors, 0)
    offset = 14 + len(info) + len(pal)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(header + info + pal + data)


def nearest(palette, rgb):
    r, g, b = rgb[:3]
    best, bestd = 0, None
    for i, (pr, pg, pb) in enumerate(palette):
        d = (pr - r) ** 2 * 3 + (pg - g) ** 2 * 4 + (pb - b) ** 2 * 2
        if bestd is None or d < bestd:
            best, bestd = i, d
    return best


def save_bmp4(path, img):
    """img: RGB image whose colours are (close to) the 16 standard ones."""
    w, h = img.size
    px = img.convert("RGB").load()
    rows = [[nearest(VGA, px[x, y]) for x in range(w)] for y in range(h)]
    _bmp(path, w, h, 4, VGA, rows)


def save_bmp8(path, img, dither=True):
    """Uncompressed 8-bit DIB: the 16 standard colours first, kept exact
    (frames stay pure black, faces pure 3-D grey, which the mapped-bitmap
    loader swaps for the system colours), then 240 colours optimised for the
    rest of the picture."""
    img = img.convert("RGB")
    q = img.quantize(colors=240, method=Image.Quantize.MEDIANCUT,
                     dither=Image.Dither.FLOYDSTEINBERG if dither else Image.Dither.NONE)
    flat = q.getpalette()[:240 * 3]
    flat += [0] * (240 * 3 - len(flat))
    palette = list(VGA) + [nudge(tuple(flat[i:i + 3])) for i in range(0, len(flat), 3)]
    exact = {c: i for i, c in enumerate(VGA)}
    w, h = q.size
    src = list(img.getdata())
    data = [exact.get(c, idx + 16) for c, idx in zip(src, q.getdata())]
    rows = [data[y * w:(y + 1) * w] for y in range(h)]
    _bmp(path, w, h, 8, palette, rows)


# The colours that the mapped-bitmap loader replaces with the system's 3-D
# colours. Only pixels meant to follow the system colours may have them
# exactly; a colour of the picture that merely comes close is moved off them.
MAPPED = {BLACK, GRAY, SILVER, WHITE}


def nudge(rgb):
    if rgb in MAPPED:
        return tuple(v + 1 if v < 255 else v - 1 for v in rgb)
    return rgb


def save_ico4(path, img):
    """One 32 by 32, 16-colour image; fully transparent pixels go to the mask."""
    img = img.convert("RGBA")
    w, h = img.size
    px = img.load()
    xor_rows, and_rows = [], []
    for y in range(h):
        xr, ar = [], []
        for x in range(w):
            r, g, b, a = px[x, y]
            if a < 128:
                xr.append(0)
                ar.append(1)
            else:
                xr.append(nearest(VGA, (r, g, b)))
                ar.append(0)
        xor_rows.append(xr)
        and_rows.append(ar)
    xor = bytearray()
    for row in reversed(xor_rows):
        line = bytearray((row[x] << 4) | row[x + 1] for x in range(0, w, 2))
        line += b"\0" * ((-len(line)) % 4)
        xor += line
    mask = bytearray()
    for row in reversed(and_rows):
        line = bytearray()
        for x in range(0, w, 8):
            byte = 0
            for bit in range(8):
                if x + bit < w and row[x + bit]:
                    byte |= 0x80 >> bit
            line.append(byte)
        line += b"\0" * ((-len(line)) % 4)
        mask += line
    pal = b"".join(bytes((b, g, r, 0)) for (r, g, b) in VGA)
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    image = info + pal + xor + mask
    header = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", w, h, 16, 0, 1, 4, len(image), 6 + 16)
    with open(path, "wb") as f:
        f.write(header + entry + image)


# ------------------------------------------------------------ drawing helpers

class Canvas:
    """An RGBA picture drawn at `scale` times its final size."""

    def __init__(self, w, h, scale=4, bg=(0, 0, 0, 0)):
        self.w, self.h, self.s = w, h, scale
        self.img = Image.new("RGBA", (w * scale, h * scale), bg)
        self.d = ImageDraw.Draw(self.img)

    def box(self, x0, y0, x1, y1):
        s = self.s
        return [x0 * s, y0 * s, x1 * s - 1, y1 * s - 1]

    def rect(self, x0, y0, x1, y1, fill=None, outline=None, width=1, radius=0):
        s = self.s
        if radius:
            self.d.rounded_rectangle(self.box(x0, y0, x1, y1), radius=radius * s, fill=fill,
                                     outline=outline, width=int(width * s) if outline else 0)
        else:
            self.d.rectangle(self.box(x0, y0, x1, y1), fill=fill, outline=outline,
                             width=int(width * s) if outline else 0)

    def ellipse(self, x0, y0, x1, y1, fill=None, outline=None, width=1):
        self.d.ellipse(self.box(x0, y0, x1, y1), fill=fill, outline=outline,
                       width=int(width * self.s) if outline else 0)

    def poly(self, pts, fill=None, outline=None):
        s = self.s
        self.d.polygon([(x * s, y * s) for x, y in pts], fill=fill, outline=outline)

    def line(self, pts, fill, width=1):
        s = self.s
        self.d.line([(x * s, y * s) for x, y in pts], fill=fill, width=max(1, int(width * s)),
                    joint="curve")

    def text(self, x, y, txt, size, fill, bold=True, anchor="la", serif=False):
        self.d.text((x * self.s, y * self.s), txt, font=font(int(size * self.s), bold, serif),
                    fill=fill, anchor=anchor)

    def paste(self, other, x, y):
        """Composite another (final-size-scaled) canvas at (x, y) in final units."""
        self.img.alpha_composite(other.img, (int(x * self.s), int(y * self.s)))

    def result(self):
        return self.img.resize((self.w, self.h), Image.LANCZOS)


def shadow_under(c, x0, y0, x1, y1, radius=1.5, offset=1.2, alpha=90):
    """A soft drop shadow drawn onto canvas c (before the object)."""
    layer = Image.new("RGBA", c.img.size, (0, 0, 0, 0))
    d = ImageDraw.Draw(layer)
    s = c.s
    d.rounded_rectangle([(x0 + offset) * s, (y0 + offset) * s, (x1 + offset) * s, (y1 + offset) * s],
                        radius=radius * s, fill=(0, 0, 0, alpha))
    layer = layer.filter(ImageFilter.GaussianBlur(s * 0.8))
    c.img.alpha_composite(layer)


# -------------------------------------------------------------- the motifs
# Each motif draws into a canvas within the box (x, y, size) in final units.

def draw_photo(c, x, y, w, h, tilt=0.0):
    """A snapshot: white border, sky, sun, green hills."""
    pic = Canvas(int(math.ceil(w)) + 2, int(math.ceil(h)) + 2, c.s)
    pic.rect(1, 1, w + 1, h + 1, fill=(250, 250, 250, 255), outline=(90, 90, 90, 255), width=0.5)
    b = max(1.5, w * 0.1)
    ix0, iy0, ix1, iy1 = 1 + b, 1 + b, 1 + w - b, 1 + h - b * 1.6
    pic.rect(ix0, iy0, ix1, iy1, fill=(96, 170, 235, 255))
    pic.ellipse(ix1 - (ix1 - ix0) * 0.35, iy0 + (iy1 - iy0) * 0.12,
                ix1 - (ix1 - ix0) * 0.12, iy0 + (iy1 - iy0) * 0.45, fill=(255, 220, 40, 255))
    hill = [(ix0, iy1), (ix0, iy0 + (iy1 - iy0) * 0.62), (ix0 + (ix1 - ix0) * 0.35, iy0 + (iy1 - iy0) * 0.4),
            (ix0 + (ix1 - ix0) * 0.7, iy0 + (iy1 - iy0) * 0.7), (ix1, iy0 + (iy1 - iy0) * 0.55), (ix1, iy1)]
    pic.poly(hill, fill=(40, 150, 60, 255))
    im = pic.img
    if tilt:
        im = im.rotate(tilt, resample=Image.BICUBIC, expand=True)
    c.img.alpha_composite(im, (int((x - 1) * c.s - (im.size[0] - pic.img.size[0]) / 2),
                               int((y - 1) * c.s - (im.size[1] - pic.img.size[1]) / 2)))


def draw_camera(c, x, y, w):
    """A compact camera seen from the front, w wide, 0.62 w high."""
    h = w * 0.62
    top = y + h * 0.14
    # shutter button and viewfinder bump
    c.rect(x + w * 0.12, y, x + w * 0.3, top + 1, fill=(60, 60, 66, 255), radius=w * 0.03)
    c.rect(x + w * 0.62, y + h * 0.03, x + w * 0.8, top + 1, fill=(40, 40, 46, 255), radius=w * 0.02)
    # body with a light top edge
    c.rect(x, top, x + w, y + h, fill=(45, 48, 56, 255), radius=w * 0.08)
    c.rect(x + w * 0.03, top + h * 0.06, x + w * 0.97, top + h * 0.2, fill=(85, 90, 102, 255),
           radius=w * 0.04)
    # grip stripe
    c.rect(x + w * 0.05, top + h * 0.3, x + w * 0.17, y + h * 0.92, fill=(28, 30, 36, 255),
           radius=w * 0.03)
    # lens
    cx, cy, r = x + w * 0.55, top + (y + h - top) * 0.52, w * 0.25
    c.ellipse(cx - r, cy - r, cx + r, cy + r, fill=(170, 175, 185, 255))
    r2 = r * 0.8
    c.ellipse(cx - r2, cy - r2, cx + r2, cy + r2, fill=(20, 22, 30, 255))
    r3 = r * 0.55
    c.ellipse(cx - r3, cy - r3, cx + r3, cy + r3, fill=(30, 70, 140, 255))
    r4 = r * 0.22
    c.ellipse(cx - r3 * 0.55 - r4, cy - r3 * 0.55 - r4, cx - r3 * 0.55 + r4, cy - r3 * 0.55 + r4,
              fill=(200, 225, 255, 255))
    # flash window
    c.rect(x + w * 0.82, top + h * 0.27, x + w * 0.95, top + h * 0.43, fill=(235, 235, 210, 255),
           radius=w * 0.015)
    # maker's red dot
    c.ellipse(x + w * 0.84, y + h * 0.8, x + w * 0.9, y + h * 0.88, fill=(220, 40, 40, 255))


def draw_computer(c, x, y, w):
    """A desktop monitor on its stand, w wide, 0.85 w high."""
    h = w * 0.85
    c.rect(x + w * 0.36, y + h * 0.72, x + w * 0.64, y + h * 0.86, fill=(150, 150, 156, 255))
    c.rect(x + w * 0.18, y + h * 0.84, x + w * 0.82, y + h, fill=(175, 175, 182, 255),
           outline=(90, 90, 96, 255), width=0.5, radius=w * 0.04)
    c.rect(x, y, x + w, y + h * 0.76, fill=(205, 205, 212, 255), outline=(90, 90, 96, 255),
           width=0.6, radius=w * 0.05)
    sx0, sy0, sx1, sy1 = x + w * 0.08, y + h * 0.07, x + w * 0.92, y + h * 0.64
    c.rect(sx0, sy0, sx1, sy1, fill=(20, 40, 90, 255))
    c.ellipse(x + w * 0.86, y + h * 0.68, x + w * 0.91, y + h * 0.73, fill=(40, 200, 60, 255))
    return sx0, sy0, sx1, sy1


def draw_arrow(c, x, y, w, h, fill, edge):
    """A fat arrow pointing right in the box."""
    shaft_t, shaft_b = y + h * 0.3, y + h * 0.7
    head_x = x + w * 0.52
    pts = [(x, shaft_t), (head_x, shaft_t), (head_x, y), (x + w, y + h / 2), (head_x, y + h),
           (head_x, shaft_b), (x, shaft_b)]
    c.poly(pts, fill=edge)
    k = min(w, h) * 0.07
    inner = [(x + k, shaft_t + k), (head_x + k * 0.4, shaft_t + k), (head_x + k * 0.4, y + k * 2.6),
             (x + w - k * 2.2, y + h / 2), (head_x + k * 0.4, y + h - k * 2.6),
             (head_x + k * 0.4, shaft_b - k), (x + k, shaft_b - k)]
    c.poly(inner, fill=fill)


def draw_door(c, x, y, w, h):
    """An open door in its frame, with the way out lit."""
    c.rect(x, y, x + w, y + h, fill=(120, 72, 36, 255))              # frame
    c.rect(x + w * 0.1, y + h * 0.07, x + w * 0.9, y + h, fill=(255, 236, 150, 255))  # light
    c.rect(x + w * 0.1, y + h * 0.07, x + w * 0.9, y + h * 0.14, fill=(250, 214, 100, 255))
    door = [(x + w * 0.1, y + h * 0.07), (x + w * 0.62, y + h * 0.17), (x + w * 0.62, y + h * 0.93),
            (x + w * 0.1, y + h)]
    c.poly(door, fill=(176, 104, 48, 255))
    c.poly([(x + w * 0.17, y + h * 0.17), (x + w * 0.55, y + h * 0.24), (x + w * 0.55, y + h * 0.5),
            (x + w * 0.17, y + h * 0.49)], fill=(150, 86, 38, 255))
    c.ellipse(x + w * 0.47, y + h * 0.56, x + w * 0.56, y + h * 0.63, fill=(250, 210, 60, 255))


def draw_question(c, x, y, w, fill=(30, 90, 200, 255)):
    c.ellipse(x, y, x + w, y + w, fill=(20, 50, 120, 255))
    k = w * 0.06
    c.ellipse(x + k, y + k, x + w - k, y + w - k, fill=fill)
    c.ellipse(x + w * 0.2, y + w * 0.12, x + w * 0.62, y + w * 0.4, fill=(255, 255, 255, 60))
    c.text(x + w / 2, y + w * 0.53, "?", w * 0.78, (255, 255, 255, 255), anchor="mm")


def draw_list(c, x, y, w, h):
    """A sheet with ticked options: the preferences."""
    c.rect(x, y, x + w, y + h, fill=(255, 255, 255, 255), outline=(80, 80, 90, 255), width=0.6,
           radius=w * 0.04)
    rows = 4
    for i in range(rows):
        ry = y + h * (0.14 + i * 0.21)
        bx = x + w * 0.12
        bs = h * 0.13
        c.rect(bx, ry, bx + bs, ry + bs, fill=(255, 255, 255, 255), outline=(60, 60, 70, 255), width=0.5)
        if i != 2:
            c.line([(bx + bs * 0.15, ry + bs * 0.5), (bx + bs * 0.45, ry + bs * 0.85),
                    (bx + bs * 1.0, ry - bs * 0.15)], fill=(0, 140, 40, 255), width=bs * 0.22)
        c.rect(bx + bs * 1.7, ry + bs * 0.3, x + w * (0.86 - 0.1 * (i % 2)), ry + bs * 0.7,
               fill=(70, 90, 150, 255))


# ------------------------------------------------------------ button faces

def button_face(size, pressed, motif, greyed=False):
    """A complete push button: raised when normal, black frame and sunken
    (content moved one pixel down and right) when pressed or focused."""
    s = 4
    c = Canvas(size, size, s, bg=FACE + (255,))
    off = 1 if pressed else 0
    m = Canvas(size, size, s)
    motif(m, size)
    art = m.img
    if greyed:
        art = grey_out(art)
    c.img.alpha_composite(art, (off * s, off * s))
    img = c.result().convert("RGB")
    d = ImageDraw.Draw(img)
    n = size - 1
    if pressed:
        d.rectangle([0, 0, n, n], outline=BLACK)
        d.line([(1, 1), (n - 1, 1)], fill=GRAY)
        d.line([(1, 1), (1, n - 1)], fill=GRAY)
        d.line([(1, n - 1), (n - 1, n - 1)], fill=FACE)
        d.line([(n - 1, 1), (n - 1, n - 1)], fill=FACE)
    else:
        d.line([(0, 0), (n - 1, 0)], fill=WHITE)
        d.line([(0, 0), (0, n - 1)], fill=WHITE)
        d.line([(0, n), (n, n)], fill=BLACK)
        d.line([(n, 0), (n, n)], fill=BLACK)
        d.line([(1, n - 1), (n - 1, n - 1)], fill=GRAY)
        d.line([(n - 1, 1), (n - 1, n - 1)], fill=GRAY)
    return img


def grey_out(rgba):
    """The disabled look: flat grey art with a white emboss."""
    a = rgba.split()[3]
    lum = rgba.convert("L").point(lambda v: 128 if v < 200 else 192)
    grey = Image.merge("RGBA", (lum, lum, lum, a))
    out = Image.new("RGBA", rgba.size, (0, 0, 0, 0))
    white = Image.new("RGBA", rgba.size, (255, 255, 255, 255))
    out.paste(white, (4, 4), a)
    out.alpha_composite(grey)
    return out


def motif_get_all(c, n):
    draw_photo(c, n * 0.56, n * 0.1, n * 0.32, n * 0.26, tilt=-8)
    draw_camera(c, n * 0.12, n * 0.36, n * 0.72)


def motif_get_selected(c, n):
    draw_photo(c, n * 0.44, n * 0.06, n * 0.28, n * 0.23, tilt=12)
    draw_photo(c, n * 0.55, n * 0.1, n * 0.28, n * 0.23, tilt=0)
    draw_photo(c, n * 0.66, n * 0.16, n * 0.26, n * 0.21, tilt=-12)
    draw_camera(c, n * 0.08, n * 0.38, n * 0.66)


def motif_get_from_disk(c, n):
    sx0, sy0, sx1, sy1 = draw_computer(c, n * 0.12, n * 0.16, n * 0.76)
    draw_photo(c, sx0 + 1.5, sy0 + 1.5, (sx1 - sx0) * 0.55, (sy1 - sy0) * 0.62, tilt=6)
    draw_photo(c, sx0 + (sx1 - sx0) * 0.42, sy0 + (sy1 - sy0) * 0.3, (sx1 - sx0) * 0.5,
               (sy1 - sy0) * 0.58, tilt=-6)


def motif_transfer(c, n):
    draw_arrow(c, n * 0.14, n * 0.2, n * 0.72, n * 0.6, (40, 180, 60, 255), (0, 90, 20, 255))


def motif_exit(c, n):
    draw_door(c, n * 0.22, n * 0.12, n * 0.56, n * 0.76)


def motif_help(c, n):
    draw_question(c, n * 0.16, n * 0.16, n * 0.68)


def motif_preferences(c, n):
    draw_list(c, n * 0.2, n * 0.14, n * 0.6, n * 0.72)


# --------------------------------------------------------- 16 by 16 images

def pixel_art(rows, colours):
    """rows: 16 strings of 16 characters; colours: char -> RGB."""
    img = Image.new("RGB", (len(rows[0]), len(rows)), SILVER)
    px = img.load()
    for y, row in enumerate(rows):
        for x, ch in enumerate(row):
            px[x, y] = colours[ch]
    return img


SMALL_COLOURS = {
    ".": WHITE, "#": BLACK, "g": GRAY, "s": SILVER, "y": YELLOW, "o": OLIVE,
    "b": BLUE, "n": NAVY, "r": RED, "m": MAROON, "G": GREEN, "l": LIME,
    "t": TEAL, "a": AQUA, "p": PURPLE, "f": FUCHSIA,
}
# The images have no mask: the background is the window colour of a list.
SMALL_BG = "."

SMALL = {
    "camera": [
        "................",
        "................",
        "................",
        "..###.....##....",
        ".##############.",
        ".#gggggggggggss#",
        ".#ggg####ggggrs#",
        ".#gg#nnnn#gggss#",
        ".#g#nnbann#gggg#",
        ".#g#nbaann#gggg#",
        ".#g#nnnnnn#gggg#",
        ".#gg#nnnn#ggggg#",
        ".#ggg####gggggg#",
        ".##############.",
        "................",
        "................",
    ],
    "camera_sel": [
        "................",
        "................",
        "..........yy....",
        "..###.....##....",
        ".##############.",
        ".#sssssssssss..#",
        ".#sss####sssss.#",
        ".#ss#nnnn#sssss#",
        ".#s#nnbann#sssg#",
        ".#s#nbaann#sssg#",
        ".#s#nnnnnn#sssg#",
        ".#ss#nnnn#ssssg#",
        ".#sss####ggggg##",
        ".##############.",
        "................",
        "................",
    ],
    "folder": [
        "................",
        "................",
        ".#####..........",
        "#yyyyy#.........",
        "#yyyyyy#######..",
        "#yyyyyyyyyyyyo#.",
        "#yyyyyyyyyyyyo#.",
        "#yyyyyyyyyyyyo#.",
        "#yyyyyyyyyyyyo#.",
        "#yyyyyyyyyyyyo#.",
        "#yyyyyyyyyyyyo#.",
        "#yyyyyyyyyyyyo#.",
        "#oooooooooooooo#",
        "###############.",
        "................",
        "................",
    ],
    "folder_open": [
        "................",
        "................",
        ".####...........",
        "#....#######....",
        "#.oooooooooo#...",
        "#.oooooooooo#...",
        "#.o############.",
        "#.o#yyyyyyyyyy#.",
        "#.#yyyyyyyyyyy#.",
        "#.#yyyyyyyyyy#..",
        "##yyyyyyyyyyy#..",
        "##yyyyyyyyyy#...",
        "#############...",
        "................",
        "................",
        "................",
    ],
    "album": [
        "................",
        "..############..",
        "..#mrrrrrrrrr#..",
        "..#mr......rr#..",
        "..#mr.aaaa.rr#..",
        "..#mr.aaay.rr#..",
        "..#mr.lllG.rr#..",
        "..#mr......rr#..",
        "..#mrrrrrrrrr#..",
        "..#mrrrrrrrrr#..",
        "..#mrrrrrrrrr#..",
        "..#mrrrrrrrrr#..",
        "..#m.........#..",
        "..#m#########...",
        "..###...........",
        "................",
    ],
    "album_open": [
        "................",
        "................",
        ".###########....",
        "#.....#.....#...",
        "#.aaa.#.ggg.##..",
        "#.ayy.#.....#r#.",
        "#.lGl.#.ggg.#r#.",
        "#.....#.....#r#.",
        "#.ggg.#.aaa.#r#.",
        "#.....#.aaa.#r#.",
        "#.ggg.#.lGl.#r#.",
        "#.....#.....#r#.",
        "##############r#",
        ".#rrrrrrrrrrrrr#",
        "..##############",
        "................",
    ],
    "picture": [
        "................",
        "................",
        ".##############.",
        ".#............#.",
        ".#.aaaaaaaaaa.#.",
        ".#.aaaaaaayya.#.",
        ".#.aaaaaaayya.#.",
        ".#.aaGaaaaaaa.#.",
        ".#.aGGGaaaaGa.#.",
        ".#.GGlGGaaGGG.#.",
        ".#.GlllGGGGlG.#.",
        ".#.GGGGGGGGGG.#.",
        ".#............#.",
        ".##############.",
        "................",
        "................",
    ],
    "picture_sel": [
        "................",
        "................",
        "nnnnnnnnnnnnnnnn",
        "n##############n",
        "n#.bbbbbbbbbb.#n",
        "n#.bbbbbbbyyb.#n",
        "n#.bbbbbbbyyb.#n",
        "n#.bbGbbbbbbb.#n",
        "n#.bGGGbbbbGb.#n",
        "n#.GGlGGbbGGG.#n",
        "n#.GlllGGGGlG.#n",
        "n#.GGGGGGGGGG.#n",
        "n##############n",
        "nnnnnnnnnnnnnnnn",
        "................",
        "................",
    ],
}


def small_with_badge(base, badge):
    """A folder with a small camera or memory card in front of it."""
    rows = [list(r) for r in SMALL[base]]
    for y, row in enumerate(badge):
        for x, ch in enumerate(row):
            if ch != " ":
                rows[y + 7][x + 6] = ch
    return ["".join(r) for r in rows]


CAMERA_BADGE = [
    " ##      ",
    "#########",
    "#ggg##gg#",
    "#gg#ab#g#",
    "#gg#bn#g#",
    "#ggg##gg#",
    "#########",
]
CARD_BADGE = [
    "######   ",
    "#t.t.t#  ",
    "#tttttt# ",
    "#ttrrrt# ",
    "#tt...t# ",
    "#tttttt# ",
    "######## ",
]


def small_images():
    """id -> 16 by 16 RGB image."""
    out = {
        141: pixel_art(SMALL["camera"], SMALL_COLOURS),
        144: pixel_art(SMALL["camera_sel"], SMALL_COLOURS),
        138: pixel_art(small_with_badge("folder", CAMERA_BADGE), SMALL_COLOURS),
        143: pixel_art(small_with_badge("folder_open", CAMERA_BADGE), SMALL_COLOURS),
        153: pixel_art(small_with_badge("folder", CARD_BADGE), SMALL_COLOURS),
        152: pixel_art(small_with_badge("folder_open", CARD_BADGE), SMALL_COLOURS),
        139: pixel_art(SMALL["album"], SMALL_COLOURS),
        145: pixel_art(SMALL["album_open"], SMALL_COLOURS),
        151: pixel_art(SMALL["picture"], SMALL_COLOURS),
        150: pixel_art(SMALL["picture_sel"], SMALL_COLOURS),
    }
    return out


COMPUTER = [
    "................",
    ".kkkkkkkkkkkkkk.",
    ".klllllllllllmk.",
    ".klkkkkkkkkklmk.",
    ".klkBBBBByyklmk.",
    ".klkBBBBByyklmk.",
    ".klkBgBBBBBklmk.",
    ".klkgggBBggklmk.",
    ".klkgggggggklmk.",
    ".klkkkkkkkkklmk.",
    ".kmmmmmmmmmmmmk.",
    ".kkkkkkkkkkkkkk.",
    "......kmmk......",
    "....kkkkkkkk....",
    "...kllllllllmk..",
    "...kkkkkkkkkkk..",
]


def small_computer():
    """172: the computer, in more shades than the 16 colours allow."""
    colours = {".": WHITE, "k": BLACK, "l": (226, 226, 230), "m": (150, 150, 160),
               "B": (70, 145, 230), "g": (40, 165, 70), "y": (255, 210, 40)}
    return pixel_art(COMPUTER, colours)


# -------------------------------------------------------------------- icons

def icon_canvas():
    return Canvas(32, 32, 1)


def icon_app():
    """A computer receiving pictures from a camera: pixel-drawn, 16 colours."""
    c = Image.new("RGBA", (32, 32), (0, 0, 0, 0))
    d = ImageDraw.Draw(c)
    # monitor
    d.rectangle([9, 6, 31, 24], fill=SILVER, outline=BLACK)
    d.line([(10, 7), (30, 7)], fill=WHITE)
    d.line([(10, 7), (10, 23)], fill=WHITE)
    d.line([(11, 23), (30, 23)], fill=GRAY)
    d.line([(30, 8), (30, 23)], fill=GRAY)
    d.rectangle([12, 9, 28, 20], fill=NAVY, outline=BLACK)
    # the picture on its screen
    d.rectangle([14, 11, 26, 19], fill=WHITE)
    d.rectangle([15, 12, 25, 18], fill=AQUA)
    d.rectangle([22, 13, 23, 14], fill=YELLOW)
    d.polygon([(15, 18), (15, 16), (18, 14), (21, 17), (23, 16), (25, 17), (25, 18)], fill=GREEN)
    # stand and keyboard
    d.rectangle([17, 25, 23, 26], fill=GRAY, outline=BLACK)
    d.rectangle([11, 27, 30, 30], fill=SILVER, outline=BLACK)
    d.line([(13, 28), (28, 28)], fill=GRAY)
    # camera and the arrow into the computer
    d.rectangle([0, 17, 9, 24], fill=GRAY, outline=BLACK)
    d.rectangle([2, 16, 4, 16], fill=BLACK)
    d.ellipse([3, 18, 8, 23], fill=BLACK)
    d.ellipse([4, 19, 7, 22], fill=BLUE)
    d.point((5, 20), fill=WHITE)
    d.polygon([(0, 9), (5, 9), (5, 6), (9, 11), (5, 16), (5, 13), (0, 13)], fill=RED, outline=MAROON)
    return c


def icon_target(digit):
    c = Image.new("RGBA", (32 * 4, 32 * 4), (0, 0, 0, 0))
    d = ImageDraw.Draw(c)
    rings = [(RED, 0), (WHITE, 10), (RED, 20), (WHITE, 30), (RED, 40)]
    for col, inset in rings:
        d.ellipse([inset + 2, inset + 2, 125 - inset, 125 - inset], fill=col)
    d.ellipse([2, 2, 125, 125], outline=BLACK, width=4)
    d.text((64, 66), str(digit), font=font(64), fill=WHITE, anchor="mm", stroke_width=6,
           stroke_fill=BLACK)
    return crisp(c)


def crisp(big):
    """Scale a 4x drawing to 32 by 32 and snap it to the 16 colours and a hard mask."""
    small = big.resize((32, 32), Image.LANCZOS)
    px = small.load()
    for y in range(32):
        for x in range(32):
            r, g, b, a = px[x, y]
            if a < 110:
                px[x, y] = (0, 0, 0, 0)
            else:
                px[x, y] = VGA[nearest(VGA, (r, g, b))] + (255,)
    return small


def icon_error():
    c = Image.new("RGBA", (128, 128), (0, 0, 0, 0))
    d = ImageDraw.Draw(c)
    d.ellipse([6, 6, 125, 125], fill=(128, 128, 128, 255))           # shadow
    d.ellipse([2, 2, 119, 119], fill=RED, outline=MAROON, width=5)
    w = 14
    d.line([(36, 36), (85, 85)], fill=WHITE, width=w)
    d.line([(85, 36), (36, 85)], fill=WHITE, width=w)
    return crisp(c)


def icon_warning():
    c = Image.new("RGBA", (128, 128), (0, 0, 0, 0))
    d = ImageDraw.Draw(c)
    d.polygon([(68, 10), (126, 122), (10, 122)], fill=(128, 128, 128, 255))
    d.polygon([(62, 4), (122, 116), (2, 116)], fill=BLACK)
    d.polygon([(62, 16), (111, 110), (13, 110)], fill=YELLOW)
    d.rounded_rectangle([55, 42, 69, 84], radius=5, fill=BLACK)
    d.ellipse([54, 90, 70, 104], fill=BLACK)
    return crisp(c)


def icon_question():
    c = Image.new("RGBA", (128, 128), (0, 0, 0, 0))
    d = ImageDraw.Draw(c)
    d.ellipse([4, 4, 123, 96], fill=WHITE, outline=BLACK, width=5)
    d.polygon([(30, 84), (22, 122), (58, 92)], fill=WHITE, outline=BLACK)
    d.line([(30, 86), (22, 122), (58, 93)], fill=BLACK, width=5)
    d.ellipse([8, 8, 119, 92], fill=WHITE)
    d.text((64, 52), "?", font=font(76), fill=BLUE, anchor="mm")
    return crisp(c)


def icon_blank():
    """A plain frame: the 'off' phase of the completion animation."""
    c = Image.new("RGBA", (32, 32), (0, 0, 0, 0))
    d = ImageDraw.Draw(c)
    d.rectangle([1, 1, 30, 30], outline=GRAY)
    d.rectangle([2, 2, 29, 29], outline=WHITE)
    return c


# ------------------------------------------------------- welcome pictures

def gradient(w, h, top, bottom):
    img = Image.new("RGB", (w, h))
    d = ImageDraw.Draw(img)
    for y in range(h):
        t = y / max(1, h - 1)
        d.line([(0, y), (w, y)], fill=tuple(int(top[i] + (bottom[i] - top[i]) * t) for i in range(3)))
    return img


STRIP_TOP = 258  # OK, the check box and its caption sit below this line


def welcome_picture(about):
    """387 by 297: 185 greets at start-up, 184 is the About picture.

    The bottom strip is plain 3-D face grey with an etched line above it: the
    program loads the picture through the mapped-bitmap loader, which turns
    exactly these greys into the system's face and edge colours, so the strip
    matches the OK button and the check box placed on it. The picture above
    keeps clear of those exact colours (see nudge)."""
    W, H, S = 387, 297, 3
    ink = (250, 250, 252, 255)
    soft = (214, 226, 246, 255)
    base = gradient(W * S, H * S, (12, 36, 92), (70, 140, 210)).convert("RGBA")
    c = Canvas(W, H, S)
    c.img = base
    c.d = ImageDraw.Draw(c.img)
    # soft light behind the camera
    glow = Image.new("RGBA", c.img.size, (0, 0, 0, 0))
    gd = ImageDraw.Draw(glow)
    gd.ellipse([150 * S, 20 * S, 420 * S, 290 * S], fill=(255, 255, 255, 40))
    glow = glow.filter(ImageFilter.GaussianBlur(30))
    c.img.alpha_composite(glow)
    # pictures flying out of the camera
    draw_photo(c, 300, 28, 58, 46, tilt=-14)
    draw_photo(c, 268, 54, 58, 46, tilt=8)
    draw_photo(c, 232, 78, 58, 46, tilt=-4)
    shadow_under(c, 196, 112, 346, 206, radius=12, offset=5, alpha=110)
    draw_camera(c, 192, 106, 150)
    # title
    c.text(24, 56, "Pixalon", 48, ink)
    c.text(26, 108, "Picture transfer for your", 13, soft, bold=False)
    c.text(26, 125, "digital camera", 13, soft, bold=False)
    c.rect(26, 148, 170, 150, fill=(255, 200, 60, 255))
    if about:
        c.text(24, 164, "Version 1.01", 12, ink, bold=False)
        c.text(24, 182, "\u00a9 Tellan Halcyra Company.", 10, soft, bold=False)
        c.text(24, 196, "All rights reserved.", 10, soft, bold=False)
    else:
        c.text(24, 164, "Welcome!", 14, ink)
        c.text(24, 184, "Connect the camera and choose", 10, soft, bold=False)
        c.text(24, 198, "where your pictures should go.", 10, soft, bold=False)
    c.text(24, 226, "Tellan Halcyra Company", 13, ink)
    img = c.result().convert("RGB")
    d = ImageDraw.Draw(img)
    d.rectangle([0, STRIP_TOP, W - 1, H - 1], fill=SILVER)
    d.line([(0, STRIP_TOP), (W - 1, STRIP_TOP)], fill=GRAY)
    d.line([(0, STRIP_TOP + 1), (W - 1, STRIP_TOP + 1)], fill=WHITE)
    return img


def fnt_fonts(path):
    """The bitmap fonts (FNT resources) of a .fon file (a 16-bit NE module)."""
    data = open(path, "rb").read()
    ne = struct.unpack_from("<I", data, 0x3C)[0]
    table = ne + struct.unpack_from("<H", data, ne + 0x24)[0]
    shift = struct.unpack_from("<H", data, table)[0]
    pos, fonts = table + 2, []
    while True:
        rtype, count = struct.unpack_from("<HH", data, pos)
        pos += 8
        if rtype == 0:
            return fonts
        for _ in range(count):
            offset, length = struct.unpack_from("<HH", data, pos)
            if rtype == 0x8008:  # RT_FONT
                fonts.append(data[offset << shift:(offset + length) << shift])
            pos += 12


def draw_fnt_text(img, x, y_top, text, fnt, colour):
    """Draws text with a Windows bitmap font (FNT version 2 or 3)."""
    version = struct.unpack_from("<H", fnt, 0)[0]
    height = struct.unpack_from("<H", fnt, 88)[0]
    first = fnt[95]
    table, entry = (148, 6) if version == 0x300 else (118, 4)
    px = img.load()
    for ch in text.encode("cp1252"):
        if version == 0x300:
            width, offset = struct.unpack_from("<HI", fnt, table + (ch - first) * entry)
        else:
            width, offset = struct.unpack_from("<HH", fnt, table + (ch - first) * entry)
        for col in range((width + 7) // 8):
            for row in range(height):
                bits = fnt[offset + col * height + row]
                for b in range(8):
                    if bits & (0x80 >> b) and col * 8 + b < width:
                        px[x + col * 8 + b, y_top + row] = colour
        x += width
    return x


def dialog_fnt():
    """MS Sans Serif 8 point at 96 dpi, the dialogs' font, from Wine's own
    metric-compatible copy (package fonts-wine)."""
    path = "/usr/share/wine/fonts/sserife.fon"
    if not os.path.exists(path):
        raise SystemExit("needs %s: install fonts-wine" % path)
    for fnt in fnt_fonts(path):
        points, vres = struct.unpack_from("<HH", fnt, 68)
        if points == 8 and vres == 96:
            return fnt
    raise SystemExit("no 8 point face in " + path)


def startup_caption():
    """186: "Display on Startup" as the check box's label would read, black on
    face grey without smoothing, so that both map to the system colours."""
    img = Image.new("RGB", (100, 20), SILVER)
    fnt = dialog_fnt()
    height = struct.unpack_from("<H", fnt, 88)[0]
    draw_fnt_text(img, 1, (20 - height) // 2, "Display on Startup", fnt, BLACK)
    return img


# --------------------------------------------------------------------- main

BUTTONS = [
    # pressed id, normal id, size, motif
    (134, 136, 54, motif_get_all),
    (154, 156, 54, motif_get_selected),
    (163, 165, 54, motif_get_from_disk),
    (137, 140, 36, motif_exit),
    (149, 147, 36, motif_transfer),
    (157, 159, 36, motif_help),
    (160, 162, 36, motif_preferences),
]


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else HERE
    os.makedirs(out, exist_ok=True)
    p = lambda name: os.path.join(out, name)
    for pressed, normal, size, motif in BUTTONS:
        save_bmp8(p("bmp%d.bmp" % pressed), button_face(size, True, motif), dither=False)
        save_bmp8(p("bmp%d.bmp" % normal), button_face(size, False, motif), dither=False)
    save_bmp8(p("bmp146.bmp"), button_face(36, False, motif_transfer, greyed=True), dither=False)
    for ident, img in small_images().items():
        save_bmp4(p("bmp%d.bmp" % ident), img)
    save_bmp8(p("bmp172.bmp"), small_computer(), dither=False)
    save_bmp8(p("bmp184.bmp"), welcome_picture(about=True))
    save_bmp8(p("bmp185.bmp"), welcome_picture(about=False))
    save_bmp8(p("bmp186.bmp"), startup_caption(), dither=False)
    save_ico4(p("ico128.ico"), icon_app())
    for i, ident in enumerate((142, 143, 144, 145)):
        save_ico4(p("ico%d.ico" % ident), icon_target(i + 1))
    save_ico4(p("ico146.ico"), icon_error())
    save_ico4(p("ico192.ico"), icon_warning())
    save_ico4(p("ico194.ico"), icon_question())
    save_ico4(p("ico195.ico"), icon_blank())


if __name__ == "__main__":
    main()
