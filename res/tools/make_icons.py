#!/usr/bin/env python3
"""Draws the program's icons and writes them to res/icons/*.ico.

The picture is a remote control, tilted, with a status dot and signal arcs
leaving its tip. Each shape is a signed distance function sampled 8x8 per
pixel; a pixel takes the topmost shape that covers at least half of it.

Each icon has a 32x32 16-colour image (the standard palette) and, but for the
switched-off one, a 32x32 256-colour image with finer tones. No image has
blended edges: when Wine shrinks an icon to 16x16 (the tray) it ANDs
neighbouring pixels, so every channel value of the 256-colour image is taken
from CHAIN, where the AND of two values is the smaller one; the standard
palette's values (0, 128, 192, 255) already behave so.

Standard library only:
    python3 res/tools/make_icons.py                # writes res/icons/*.ico
    python3 res/tools/make_icons.py --preview DIR  # also enlarged PNGs to look at
"""

import argparse
import math
import os
import struct
import zlib

SIZE = 32
SUPERSAMPLE = 8

CHAIN = (0, 16, 80, 112, 240, 248, 252, 254, 255)

# The standard 16-colour palette, in its usual order (index 0 black, which
# transparent pixels use).
VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_GRAY, LIGHT_GRAY, WHITE = (0, 0, 0), (128, 128, 128), (192, 192, 192), (255, 255, 255)
RED, GREEN, BLUE = (255, 0, 0), (0, 255, 0), (0, 0, 255)

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
    when canvas is set), its colour in the 256-colour image (a constant or a
    function of u, w) and in the 16-colour one."""

    def __init__(self, dist, colour, colour16, canvas=False, pixels=None):
        self.dist, self.colour, self.colour16, self.canvas = dist, colour, colour16, canvas
        # Shapes too small to survive the threshold as anything but a ragged
        # blob (the keys) name their pixels instead.
        self.pixels = pixels

    def covers(self, x, y, u, w):
        return (self.dist(x, y) if self.canvas else self.dist(u, w)) <= 0.0

    def colour_at(self, u, w):
        return self.colour(u, w) if callable(self.colour) else self.colour


def key_pixels(u, w):
    """Two pixels side by side nearest to a key's centre."""
    x, y = to_canvas(u, w)
    left = math.floor(x - 0.5)
    return {(left, math.floor(y)), (left + 1, math.floor(y))}


def body_shade(u, w):
    # Lit from the left: a lighter band along the left side.
    return (112, 112, 112) if u < -2.0 else (80, 80, 80)


def remote_layers(dot, dot_light, dot16):
    # Features at least two pixels wide: shrunk to 16x16, every other pixel
    # is all that is left of them.
    inset = HALF_WIDTH - 1.3, HALF_LENGTH - 1.3
    dot_at = tuple(math.floor(v) + 0.5 for v in to_canvas(0.0, 6.1))

    def inner(u, w):
        return rounded_box(u, w, inset[0], inset[1], 2.4)

    layers = [
        Layer(lambda u, w: rounded_box(u, w, HALF_WIDTH, HALF_LENGTH, 3.7), (16, 16, 16), BLACK),
        # A lighter rim inside the outline keeps the body apart from a dark ground.
        Layer(inner, (112, 112, 112), DARK_GRAY),
        Layer(lambda u, w: rounded_box(u, w, inset[0] - 0.8, inset[1] - 0.8, 1.8), body_shade,
              DARK_GRAY),
        # The dark window at the tip that the infrared leaves through.
        Layer(lambda u, w: max(inner(u, w), HALF_LENGTH - 3.0 - w), (16, 16, 16), BLACK),
        # Status dot in a dark socket, centred on a pixel so that it stays round.
        Layer(lambda x, y: circle(x, y, *dot_at, 3.4), (16, 16, 16), BLACK, canvas=True),
        Layer(lambda x, y: circle(x, y, *dot_at, 2.65), dot, dot16, canvas=True),
        Layer(lambda x, y: circle(x, y, dot_at[0] - 0.9, dot_at[1] - 0.9, 0.8), dot_light, dot16,
              canvas=True),
        # Navigation ring with its centre button.
        Layer(lambda u, w: circle(u, w, 0.0, -0.6, 3.8), (240, 240, 240), LIGHT_GRAY),
        Layer(lambda u, w: circle(u, w, 0.0, -0.6, 1.5), (80, 80, 80), DARK_GRAY),
    ]
    # Two rows of keys below the ring.
    for cw in (-6.0, -9.1):
        for cu in (-3.3, 0.0, 3.3):
            layers.append(Layer(None, (240, 240, 248), LIGHT_GRAY, pixels=key_pixels(cu, cw)))
    # Signal arcs leaving the tip.
    for r_in, r_out in ((2.3, 4.2), (5.4, 7.3)):
        layers.append(Layer(lambda u, w, a=r_in, b=r_out: arc(u, w, 0.0, HALF_LENGTH + 0.2, a, b,
                                                              math.radians(45)),
                            (16, 112, 255), BLUE))
    return layers


def prohibition_layers():
    cx, cy = 16.0, 16.0
    outer, inner = 15.5, 12.4

    def bar(x, y):
        # Band along the diagonal from top left to bottom right, inside the ring.
        d = abs((x - cx) - (y - cy)) / math.sqrt(2) - 1.6
        return max(d, math.hypot(x - cx, y - cy) - inner - 0.5)

    return [
        Layer(lambda x, y: ring(x, y, cx, cy, inner, outer), (240, 16, 16), RED, canvas=True),
        Layer(bar, (240, 16, 16), RED, canvas=True),
    ]


def render(layers):
    """Returns (256-colour pixels as RGB, 16-colour pixels as palette indices,
    opaque mask), rows top down."""
    shapes = [layer for layer in layers if layer.pixels is None]
    step = 1.0 / SUPERSAMPLE
    total = SUPERSAMPLE * SUPERSAMPLE
    true_px, vga_px, mask = [], [], []
    for py in range(SIZE):
        for px in range(SIZE):
            hits = [0] * len(shapes)
            union = 0
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    x, y = px + (sx + 0.5) * step, py + (sy + 0.5) * step
                    u, w = to_local(x, y)
                    covered = [layer.covers(x, y, u, w) for layer in shapes]
                    union += any(covered)
                    for i, c in enumerate(covered):
                        hits[i] += c
            opaque = union * 2 >= total
            top = None
            if opaque:
                halves = [i for i, n in enumerate(hits) if n * 2 >= total]
                # Covered by several shapes, none by half: the lowest one.
                top = shapes[halves[-1] if halves else next(i for i, n in enumerate(hits) if n)]
                for layer in layers:
                    if layer.pixels is not None and (px, py) in layer.pixels:
                        top = layer
            u, w = to_local(px + 0.5, py + 0.5)
            mask.append(opaque)
            true_px.append(top.colour_at(u, w) if top else BLACK)
            vga_px.append(VGA16.index(top.colour16) if top else 0)
    return true_px, vga_px, mask


def palette256(pixels):
    """A palette of at most 256 colours, black first, and each pixel's index."""
    assert all(v in CHAIN for c in pixels for v in c), "a colour off the chain"
    colours = sorted(set(pixels) - {BLACK})
    palette = [BLACK] + colours
    index = {c: i for i, c in enumerate(palette)}
    return palette + [BLACK] * (256 - len(palette)), [index[c] for c in pixels]


def dib(bits, palette, indices, mask):
    """BITMAPINFOHEADER, palette, colour rows and AND rows, bottom up."""
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, bits, 0, 0, 0, 0, len(palette), 0)
    pal = b"".join(struct.pack("BBBB", b, g, r, 0) for (r, g, b) in palette)
    xor_rows, and_rows = [], []
    for row in range(SIZE - 1, -1, -1):
        line = indices[row * SIZE:(row + 1) * SIZE]
        if bits == 4:
            data = bytes((line[i] << 4) | line[i + 1] for i in range(0, SIZE, 2))
        else:
            data = bytes(line)
        xor_rows.append(data + b"\0" * (-len(data) % 4))
        m = mask[row * SIZE:(row + 1) * SIZE]
        packed = bytes(sum((0 if m[i + b] else 1) << (7 - b) for b in range(8))
                       for i in range(0, SIZE, 8))
        and_rows.append(packed + b"\0" * (-len(packed) % 4))
    return header + pal + b"".join(xor_rows) + b"".join(and_rows)


def write_ico(path, images):
    """images: list of (bits, dib bytes)."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for bits, data in images:
        colours = 16 if bits == 4 else 0
        out += struct.pack("<BBBBHHII", SIZE, SIZE, colours, 0, 1, bits, len(data), offset)
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
    # file, picture, with a 256-colour image
    ("app.ico", "green", True),
    ("ready.ico", "green", True),
    ("receiving.ico", "red", True),
    ("off.ico", "off", False),
]


def picture(kind):
    green = ((16, 240, 16), (240, 255, 240), GREEN)
    red = ((240, 16, 16), (255, 240, 240), RED)
    layers = remote_layers(*(red if kind == "red" else green))
    if kind == "off":
        layers += prohibition_layers()
    return render(layers)


def shrink(pixels, mask):
    """Roughly the 16x16 image Wine makes: each pixel the AND of a 2x2 block
    (transparent pixels are black in the colour image), opaque where any of
    the block is."""
    out, out_mask = [], []
    for y in range(0, SIZE, 2):
        for x in range(0, SIZE, 2):
            block = [(x + dx) + (y + dy) * SIZE for dy in (0, 1) for dx in (0, 1)]
            colours = [pixels[i] if mask[i] else BLACK for i in block]
            out_mask.append(any(mask[i] for i in block))
            out.append(tuple(min(c[k] for c in colours) for k in range(3)))
    return out, out_mask


def preview(path, cells, grid, scale):
    """Images side by side, enlarged, on a light and a dark ground."""
    grounds = [(236, 236, 236), (40, 44, 52)]
    gap = 8
    cell = grid * scale
    width = len(cells) * (cell + gap) + gap
    height = len(grounds) * (cell + gap) + gap
    rows = [[(150, 150, 150)] * width for _ in range(height)]
    for g, ground in enumerate(grounds):
        top = gap + g * (cell + gap)
        for n, (pixels, mask) in enumerate(cells):
            left = gap + n * (cell + gap)
            for y in range(cell):
                for x in range(cell):
                    i = (y // scale) * grid + x // scale
                    rows[top + y][left + x] = pixels[i] if mask[i] else ground
    write_png(path, width, height, rows)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    here = os.path.dirname(os.path.abspath(__file__))
    parser.add_argument("--out", default=os.path.join(here, "..", "icons"))
    parser.add_argument("--preview", help="directory for enlarged PNG previews")
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    shown = []
    cache = {}
    for name, kind, with256 in ICONS:
        if kind not in cache:
            cache[kind] = picture(kind)
        true_px, vga_px, mask = cache[kind]
        images = [(4, dib(4, VGA16, vga_px, mask))]
        shown.append(([VGA16[i] for i in vga_px], mask))
        if with256:
            palette, indices = palette256(true_px)
            images.append((8, dib(8, palette, indices, mask)))
            shown.append((true_px, mask))
        write_ico(os.path.join(args.out, name), images)
    if args.preview:
        os.makedirs(args.preview, exist_ok=True)
        preview(os.path.join(args.preview, "icons.png"), shown, SIZE, 8)
        preview(os.path.join(args.preview, "icons-16.png"),
                [shrink(*image) for image in shown], SIZE // 2, 16)


if __name__ == "__main__":
    main()
