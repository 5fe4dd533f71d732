#!/usr/bin/env python3
"""Draws the program's icons and writes them to res/icons/*.ico.

The picture is a remote control, tilted, with a status dot and signal arcs
leaving its tip. Each shape is a signed distance function in a 32-unit
frame, sampled 8x8 per pixel; a sample takes the colour of the topmost shape
covering it, and a pixel's alpha is the share of its samples covered.

Every icon holds five 32-bit images with alpha: 16, 20, 24, 32 and 48
pixels. Each is drawn for its size rather than shrunk from a large one: the
small ones leave out details a pixel cannot carry (the keys, the rim, the
second arc), keep every stroke at least a pixel wide and put the status dot
on a pixel's centre, so that the tray's 16-pixel picture stays sharp.

Standard library only:
    python3 res/tools/make_icons.py                # writes res/icons/*.ico
    python3 res/tools/make_icons.py --preview DIR  # also an enlarged PNG to look at
"""

import argparse
import math
import os
import struct
import zlib

FRAME = 32.0
SIZES = (16, 20, 24, 32, 48)
SUPERSAMPLE = 8

OUTLINE = (24, 24, 28)
RIM = (112, 112, 120)
KEY = (236, 236, 244)
ARC = (16, 112, 255)

# The remote's own frame: u across (right), w along it (towards the tip).
CENTRE = (13.0, 18.2)
TILT = math.radians(35)
ACROSS = (math.cos(TILT), math.sin(TILT))
ALONG = (math.sin(TILT), -math.cos(TILT))
HALF_WIDTH, HALF_LENGTH = 7.0, 12.3


def to_local(x, y):
    dx, dy = x - CENTRE[0], y - CENTRE[1]
    return dx * ACROSS[0] + dy * ACROSS[1], dx * ALONG[0] + dy * ALONG[1]


def to_canvas(u, w):
    return (CENTRE[0] + u * ACROSS[0] + w * ALONG[0], CENTRE[1] + u * ACROSS[1] + w * ALONG[1])


def rounded_box(u, w, hu, hw, r):
    qu, qw = abs(u) - hu + r, abs(w) - hw + r
    outside = math.hypot(max(qu, 0.0), max(qw, 0.0))
    return outside + min(max(qu, qw), 0.0) - r


def circle(u, w, cu, cw, r):
    return math.hypot(u - cu, w - cw) - r


def ring(u, w, cu, cw, r_in, r_out):
    d = math.hypot(u - cu, w - cw)
    return max(r_in - d, d - r_out)


def arc(u, w, cu, cw, r_in, r_out, half_angle):
    """A band of a ring, centred on the remote's axis, with round ends."""
    du, dw = u - cu, w - cw
    band = ring(u, w, cu, cw, r_in, r_out)
    angle = math.atan2(du, dw)
    if abs(angle) <= half_angle:
        return band
    mid = (r_in + r_out) / 2
    side = math.copysign(half_angle, angle)
    eu, ew = cu + mid * math.sin(side), cw + mid * math.cos(side)
    return math.hypot(u - eu, w - ew) - (r_out - r_in) / 2


class Layer:
    """One shape: a distance function of the remote's frame (or of the canvas
    when canvas is set) and its colour (a constant or a function of u, w)."""

    def __init__(self, dist, colour, canvas=False):
        self.dist, self.colour, self.canvas = dist, colour, canvas

    def covers(self, x, y, u, w):
        return (self.dist(x, y) if self.canvas else self.dist(u, w)) <= 0.0

    def colour_at(self, u, w):
        return self.colour(u, w) if callable(self.colour) else self.colour


def body_shade(u, w):
    # Lit from the left: a lighter band along the left side.
    return (100, 100, 108) if u < -2.0 else (72, 72, 80)


def pixel_centre(v, unit):
    """The frame coordinate of the centre of the pixel holding v."""
    return (math.floor(v / unit) + 0.5) * unit


def remote_layers(size, dot, dot_light):
    unit = FRAME / size  # frame units per pixel
    detailed = size >= 32
    # The outline stays at least a pixel wide at every size.
    edge = max(1.3, unit)
    inset = HALF_WIDTH - edge, HALF_LENGTH - edge
    dot_r = max(2.65, 1.6 * unit)
    dot_at = tuple(pixel_centre(v, unit) for v in to_canvas(0.0, 6.1))

    def inner(u, w):
        return rounded_box(u, w, inset[0], inset[1], 2.4)

    layers = [Layer(lambda u, w: rounded_box(u, w, HALF_WIDTH, HALF_LENGTH, 3.7), OUTLINE)]
    if size >= 24:
        # A lighter rim inside the outline keeps the body apart from a dark ground.
        layers.append(Layer(inner, RIM))
        layers.append(Layer(lambda u, w: rounded_box(u, w, inset[0] - unit, inset[1] - unit, 1.8),
                            body_shade))
    else:
        layers.append(Layer(inner, body_shade))
    layers += [
        # The dark window at the tip that the infrared leaves through.
        Layer(lambda u, w: max(inner(u, w), HALF_LENGTH - 3.0 - w), OUTLINE),
        # Status dot in a dark socket, centred on a pixel so that it stays round.
        Layer(lambda x, y: circle(x, y, *dot_at, dot_r + max(0.75, 0.6 * unit)), (16, 16, 16),
              canvas=True),
        Layer(lambda x, y: circle(x, y, *dot_at, dot_r), dot, canvas=True),
    ]
    if detailed:
        layers.append(Layer(lambda x, y: circle(x, y, dot_at[0] - 0.9, dot_at[1] - 0.9, 0.8),
                            dot_light, canvas=True))
    # Navigation ring; its centre button only where there is room for it.
    layers.append(Layer(lambda u, w: circle(u, w, 0.0, -0.6, 3.8), (236, 236, 236)))
    if size >= 24:
        layers.append(Layer(lambda u, w: circle(u, w, 0.0, -0.6, max(1.5, unit)), (80, 80, 80)))
    # Signal arcs leaving the tip: the outer one needs a 20-pixel canvas.
    bands = [(2.3, 4.2), (5.4, 7.3)] if size >= 20 else [(2.4, 2.4 + max(1.9, 1.5 * unit))]
    for r_in, r_out in bands:
        layers.append(Layer(lambda u, w, a=r_in, b=r_out: arc(u, w, 0.0, HALF_LENGTH + 0.2, a, b,
                                                              math.radians(45)), ARC))
    return layers


def key_blocks(size):
    """Two rows of keys below the ring, as whole pixels: too small to be
    shapes, they are blocks at the nearest pixels to their centres."""
    if size < 32:
        return []
    unit = FRAME / size
    kw, kh = round(2 * size / 32), max(1, round(size / 32))
    blocks = []
    for cw in (-6.0, -9.1):
        for cu in (-3.3, 0.0, 3.3):
            x, y = (v / unit for v in to_canvas(cu, cw))
            left, top = round(x - kw / 2), round(y - kh / 2)
            blocks += [(left + i, top + j) for i in range(kw) for j in range(kh)]
    return blocks


def prohibition_layers(size):
    unit = FRAME / size
    cx, cy = 16.0, 16.0
    outer = 15.5
    inner = outer - max(3.1, 2 * unit)
    half_bar = max(1.6, unit)

    def bar(x, y):
        # Band along the diagonal from top left to bottom right, inside the ring.
        d = abs((x - cx) - (y - cy)) / math.sqrt(2) - half_bar
        return max(d, math.hypot(x - cx, y - cy) - inner - 0.5)

    red = (232, 16, 16)
    return [Layer(lambda x, y: ring(x, y, cx, cy, inner, outer), red, canvas=True),
            Layer(bar, red, canvas=True)]


def render(size, layers, keys):
    """Rows top down of (r, g, b, a), straight (not premultiplied) alpha."""
    unit = FRAME / size
    step = unit / SUPERSAMPLE
    total = SUPERSAMPLE * SUPERSAMPLE
    top_first = list(reversed(layers))
    keys = set(keys)
    out = []
    for py in range(size):
        for px in range(size):
            if (px, py) in keys:
                out.append(KEY + (255,))
                continue
            r = g = b = covered = 0
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    x, y = px * unit + (sx + 0.5) * step, py * unit + (sy + 0.5) * step
                    u, w = to_local(x, y)
                    for layer in top_first:
                        if layer.covers(x, y, u, w):
                            c = layer.colour_at(u, w)
                            r, g, b, covered = r + c[0], g + c[1], b + c[2], covered + 1
                            break
            if covered == 0:
                out.append((0, 0, 0, 0))
            else:
                out.append((round(r / covered), round(g / covered), round(b / covered),
                            round(255 * covered / total)))
    return out


def dib32(size, pixels):
    """BITMAPINFOHEADER, BGRA rows and AND rows, bottom up; the AND mask
    marks the fully transparent pixels for the programs that ignore alpha."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour_rows, and_rows = [], []
    for row in range(size - 1, -1, -1):
        line = pixels[row * size:(row + 1) * size]
        colour_rows.append(b"".join(struct.pack("BBBB", b, g, r, a) for (r, g, b, a) in line))
        bits = [1 if a == 0 else 0 for (_, _, _, a) in line]
        bits += [0] * (-len(bits) % 8)
        packed = bytes(sum(bits[i + k] << (7 - k) for k in range(8)) for i in range(0, len(bits), 8))
        and_rows.append(packed + b"\0" * (-len(packed) % 4))
    return header + b"".join(colour_rows) + b"".join(and_rows)


def write_ico(path, images):
    """images: list of (size, dib bytes)."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(data for _, data in images)
    with open(path, "wb") as f:
        f.write(out)


def write_png(path, width, height, rgb_rows):
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    raw = b"".join(b"\0" + bytes(v for px in row for v in px) for row in rgb_rows)
    png = (b"\x89PNG\r\n\x1a\n" +
           chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
           chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))
    with open(path, "wb") as f:
        f.write(png)


ICONS = [
    # file, picture
    ("app.ico", "green"),
    ("ready.ico", "green"),
    ("receiving.ico", "red"),
    ("off.ico", "off"),
]


def picture(kind, size):
    green = ((16, 224, 16), (230, 255, 230))
    red = ((240, 24, 24), (255, 230, 230))
    layers = remote_layers(size, *(red if kind == "red" else green))
    if kind == "off":
        layers += prohibition_layers(size)
    return render(size, layers, key_blocks(size))


def preview(path, pictures, scale):
    """Every picture at every size, enlarged, on a light and a dark ground:
    one row of sizes per picture and ground."""
    grounds = [(236, 236, 236), (40, 44, 52)]
    gap = 8
    width = gap + sum(size * scale + gap for size in SIZES)
    band = max(SIZES) * scale + gap
    height = gap + len(grounds) * len(pictures) * band
    rows = [[(150, 150, 150)] * width for _ in range(height)]
    for g, ground in enumerate(grounds):
        for n, images in enumerate(pictures):
            top = gap + (g * len(pictures) + n) * band
            left = gap
            for size, pixels in zip(SIZES, images):
                for y in range(size * scale):
                    for x in range(size * scale):
                        r, gr, b, a = pixels[(y // scale) * size + x // scale]
                        rows[top + y][left + x] = tuple(
                            (c * a + bg * (255 - a)) // 255 for c, bg in zip((r, gr, b), ground))
                left += size * scale + gap
    write_png(path, width, height, rows)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    here = os.path.dirname(os.path.abspath(__file__))
    parser.add_argument("--out", default=os.path.join(here, "..", "icons"))
    parser.add_argument("--preview", help="directory for an enlarged PNG preview")
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    cache = {}
    for name, kind in ICONS:
        if kind not in cache:
            cache[kind] = [picture(kind, size) for size in SIZES]
        images = [(size, dib32(size, pixels)) for size, pixels in zip(SIZES, cache[kind])]
        write_ico(os.path.join(args.out, name), images)
    if args.preview:
        os.makedirs(args.preview, exist_ok=True)
        preview(os.path.join(args.preview, "icons.png"), list(cache.values()), 8)


if __name__ == "__main__":
    main()
