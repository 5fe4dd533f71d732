#!/usr/bin/env python3
"""Draws the hotkey editor's remote control and writes res/bitmaps/*.bmp.

One scene, the remote as the editor shows it, is drawn in the picture's
pixels (104 x 350): the picture (remote.bmp) is the scene with every button
at rest, and each button's three images (normal_NN, pressed_NN,
disabled_NN) are the part of the scene under the button's rectangle, drawn
with that one button in that state. So an image always matches the picture
around it, to the pixel.

Shapes are signed distance functions, sampled 4x4 per pixel; a sample takes
the colour of the topmost shape that covers it. All images are 24-bit BMPs.

The editor places the buttons in its client area; at 96 DPI the picture
sits at ORIGIN there (where the template's 9, 8 dialog units put it, measured
under Wine with the template's Arial 9; the editor places it there itself),
so a button lies at its rectangle minus ORIGIN in the picture. tests/win_ui/editor_resources_test.cpp checks each image at
rest against the picture at the origin the dialog really has.

The editor scales the picture and the buttons' rectangles by its DPI over
96, so the scene is drawn again for each of DPIS: in the client pixels of
that DPI, the picture covering the scaled picture rectangle and each image
the scaled button rectangle (each scaled edge rounded as the editor rounds
it, ui/editor_layout.cpp). At a DPI it has a set for, the editor shows that
set unscaled; at another, the nearest set stretched. The 96 DPI set is the
one above; the others are remote_PPP.bmp and STATE_NN_PPP.bmp (PPP the scale
in percent), listed in bitmaps/scaled.rc for res/editor.rc.

Standard library only, deterministic:
    python3 res/tools/make_remote.py                # writes res/bitmaps/*.bmp
    python3 res/tools/make_remote.py --preview DIR  # also an enlarged PNG to look at
"""

import argparse
import math
import os
import struct
import zlib

WIDTH, HEIGHT = 104, 350
SUPERSAMPLE = 4
ORIGIN = (16, 14)
# The DPIs a set of images is drawn for; 96 first (the template's picture).
DPIS = (96, 120, 144, 192)
# Resource ids of the set for DPIS[k] are the 96 DPI ids plus k * ID_STEP.
ID_STEP = 1000

# Each button's rectangle in the editor's client pixels: left, top, right, bottom.
RECTS = [
    (32, 36, 45, 49), (91, 36, 104, 49),
    (32, 57, 45, 70), (62, 57, 75, 70), (91, 57, 104, 70),
    (32, 78, 45, 91), (62, 78, 75, 91), (91, 78, 104, 91),
    (32, 99, 45, 112), (62, 99, 75, 112), (91, 99, 104, 112),
    (32, 120, 45, 133), (62, 120, 75, 133), (91, 120, 104, 133),
    (32, 141, 45, 153), (91, 141, 104, 153),
    # The direction pad: up, left, Enter, right, down.
    (50, 152, 87, 164), (37, 162, 52, 191), (56, 168, 80, 183), (84, 161, 99, 190),
    (50, 187, 86, 200),
    (32, 197, 45, 210), (91, 197, 104, 210),
    # The digit block.
    (36, 225, 50, 235), (61, 225, 75, 235), (87, 225, 101, 235),
    (36, 243, 50, 253), (61, 243, 75, 253), (87, 243, 101, 253),
    (36, 261, 50, 271), (61, 261, 75, 271), (87, 261, 101, 271),
    (49, 283, 63, 293), (74, 283, 88, 293),
]
UP, LEFT, ENTER, RIGHT, DOWN = 16, 17, 18, 19, 20
DIGITS = {23 + i: str(i + 1) for i in range(9)}
DIGITS[32] = "0"

NORMAL, PRESSED, DISABLED = "normal", "pressed", "disabled"
STATES = (NORMAL, PRESSED, DISABLED)

# The dialog face on Windows; outside the body the picture is this colour.
FACE = (240, 240, 240)


def scaled(v, dpi):
    """A length of the 96 DPI layout at dpi, rounded half up."""
    return (v * dpi + 48) // 96


def client_rect(rect, dpi):
    """A rectangle of the editor's 96 DPI client pixels, at dpi."""
    return tuple(scaled(v, dpi) for v in rect)


def picture_rect():
    return (ORIGIN[0], ORIGIN[1], ORIGIN[0] + WIDTH, ORIGIN[1] + HEIGHT)


def place(n):
    """Button n's rectangle in the picture's pixels."""
    left, top, right, bottom = RECTS[n]
    return left - ORIGIN[0], top - ORIGIN[1], right - ORIGIN[0], bottom - ORIGIN[1]


# ---- shapes -------------------------------------------------------------

def rounded_box(x, y, left, top, right, bottom, r):
    cx, cy = (left + right) / 2, (top + bottom) / 2
    hx, hy = (right - left) / 2, (bottom - top) / 2
    qx, qy = abs(x - cx) - hx + r, abs(y - cy) - hy + r
    return math.hypot(max(qx, 0.0), max(qy, 0.0)) + min(max(qx, qy), 0.0) - r


def ellipse(x, y, cx, cy, rx, ry):
    """Distance to an ellipse, close enough near its edge."""
    dx, dy = (x - cx) / rx, (y - cy) / ry
    k = math.hypot(dx, dy)
    grad = math.hypot(dx / rx, dy / ry)
    return (k - 1.0) * k / grad if grad > 1e-9 else -min(rx, ry)


def mix(a, b, t):
    t = min(max(t, 0.0), 1.0)
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


class Shape:
    """A filled shape: distance function, colour (constant or function of
    x, y) and the box outside of which it covers nothing."""

    def __init__(self, dist, colour, box):
        self.dist, self.colour, self.box = dist, colour, box

    def colour_at(self, x, y):
        return self.colour(x, y) if callable(self.colour) else self.colour


def box_shape(left, top, right, bottom, r, colour):
    return Shape(lambda x, y: rounded_box(x, y, left, top, right, bottom, r), colour,
                 (left, top, right, bottom))


def pixel_shapes(pixels, colour):
    """Whole pixels (of a glyph), as one shape."""
    cells = set(pixels)
    xs, ys = [p[0] for p in cells], [p[1] for p in cells]

    def dist(x, y):
        return -1.0 if (math.floor(x), math.floor(y)) in cells else 1.0
    return Shape(dist, colour, (min(xs), min(ys), max(xs) + 1, max(ys) + 1))


# ---- lettering ------------------------------------------------------------

SMALL = {
    "0": [".#.", "#.#", "#.#", "#.#", ".#."],
    "1": [".#.", "##.", ".#.", ".#.", "###"],
    "2": ["##.", "..#", ".#.", "#..", "###"],
    "3": ["##.", "..#", ".#.", "..#", "##."],
    "4": ["#.#", "#.#", "###", "..#", "..#"],
    "5": ["###", "#..", "##.", "..#", "##."],
    "6": [".##", "#..", "##.", "#.#", ".#."],
    "7": ["###", "..#", ".#.", ".#.", ".#."],
    "8": [".#.", "#.#", ".#.", "#.#", ".#."],
    "9": [".#.", "#.#", ".##", "..#", "##."],
    "A": [".#.", "#.#", "###", "#.#", "#.#"],
    "K": ["#.#", "#.#", "##.", "#.#", "#.#"],
    "N": ["#..#", "##.#", "#.##", "#..#", "#..#"],
    "O": [".#.", "#.#", "#.#", "#.#", ".#."],
    "Q": [".#.", "#.#", "#.#", "#.#", ".##"],
    "R": ["##.", "#.#", "##.", "#.#", "#.#"],
    "U": ["#.#", "#.#", "#.#", "#.#", "###"],
    "V": ["#.#", "#.#", "#.#", "#.#", ".#."],
    " ": ["...", "...", "...", "...", "..."],
}

LARGE = {
    "K": ["#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"],
    "7": ["#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."],
    "F": ["#####", "#....", "#....", "####.", "#....", "#....", "#...."],
    "3": ["####.", "....#", "....#", ".###.", "....#", "....#", "####."],
}


def text_pixels(text, font, left, top, spacing=1):
    pixels = []
    x = left
    for ch in text:
        rows = font[ch]
        for dy, row in enumerate(rows):
            for dx, cell in enumerate(row):
                if cell == "#":
                    pixels.append((x + dx, top + dy))
        x += len(rows[0]) + spacing
    return pixels


def text_width(text, font, spacing=1):
    return sum(len(font[ch][0]) for ch in text) + spacing * (len(text) - 1)


def centred_text(text, font, cx, top, colour, spacing=1):
    left = round(cx - text_width(text, font, spacing) / 2)
    return pixel_shapes(text_pixels(text, font, left, top, spacing), colour)


# ---- the remote -----------------------------------------------------------

BODY = (4.0, 0.5, 100.0, 346.0)
BODY_RADIUS = 15.0
OUTLINE = (12, 12, 14)
PAD_CENTRE = (52.3, 161.8)  # of the direction pad, in the picture
PAD_RADII = (33.5, 26.5)


def body_colour(x, y):
    # Graphite, lit from the upper left: a sheen along the left side and a
    # slight darkening towards the bottom.
    left, top, right, bottom = BODY
    across = (x - left) / (right - left)
    base = mix((64, 67, 74), (40, 42, 47), across)
    base = mix(base, (30, 31, 35), (y - top) / (bottom - top) * 0.6)
    edge = -rounded_box(x, y, left + 1, top + 1, right - 1, bottom - 1, BODY_RADIUS - 1)
    if edge < 1.6:
        # A bevel: light on the left and top, dark on the right and bottom.
        lit = (x - left) < (right - x) * 0.9 or y < top + 8
        return mix(base, (104, 108, 118) if lit else (22, 22, 25), 0.75)
    return base


def ir_window_colour(x, y):
    # Dark red glass with a highlight across its upper part.
    top, bottom = 2.5, 13.5
    t = (y - top) / (bottom - top)
    colour = mix((120, 28, 38), (44, 6, 12), t)
    if 3.6 < y < 5.4 and 28 < x < 76:
        colour = mix(colour, (200, 110, 120), 0.55)
    return colour


# Button looks: (rim, cap top, cap bottom, glyph).
THEMES = {
    "grey": ((20, 20, 22), (226, 229, 235), (158, 162, 172), (52, 54, 60)),
    "red": ((26, 8, 8), (240, 96, 88), (168, 34, 34), (255, 236, 232)),
    "steel": ((16, 18, 24), (150, 176, 214), (84, 108, 150), (240, 244, 252)),
    "silver": ((18, 18, 20), (232, 234, 238), (170, 174, 184), (48, 52, 60)),
    "enter": ((14, 16, 26), (92, 136, 204), (42, 74, 140), (255, 255, 255)),
    "digit": ((18, 18, 20), (214, 217, 224), (150, 154, 164), (36, 38, 44)),
}
# Pressed: the cap lit amber, a bright ring round it, the glyph dark.
LIT = ((255, 236, 150), (255, 206, 92), (236, 132, 22), (60, 24, 0))
# Disabled: a flat cap close to the body's colour, its glyph faint.
GREYED = ((34, 35, 39), (94, 96, 102), (88, 90, 96), (122, 124, 130))


def theme(n):
    if n == 1:
        return "red"
    if n in (14, 15, 21, 22):
        return "steel"
    if n == ENTER:
        return "enter"
    if UP <= n <= DOWN:
        return "silver"
    if n >= 23:
        return "digit"
    return "grey"


def look(n, state):
    if state == PRESSED:
        return LIT
    if state == DISABLED:
        return GREYED
    return THEMES[theme(n)]


def cap_colour(top_colour, bottom_colour, top, bottom, flat):
    def colour(x, y):
        if flat:
            return top_colour
        t = (y - top) / max(bottom - top, 1.0)
        c = mix(top_colour, bottom_colour, t)
        # A thin light line along the top of the cap.
        return mix(c, (255, 255, 255), 0.45) if y < top + 1.2 else c
    return colour


def key_distance(n):
    """The outline of button n's cap as a distance function, and the box
    (the button's rectangle less 0.8 pixel all round) that holds the cap."""
    left, top, right, bottom = place(n)
    cx, cy = PAD_CENTRE
    rx, ry = PAD_RADII[0] - 3.3, PAD_RADII[1] - 3.3
    inner = (left + 0.8, top + 0.8, right - 0.8, bottom - 0.8)
    if n in (UP, LEFT, RIGHT, DOWN):
        # A band of the pad's ring: the ring's outer edge, cut by the
        # button's rectangle, its corners rounded.
        def dist(x, y, b=inner):
            return max(ellipse(x, y, cx, cy, rx, ry) + 1.2,
                       rounded_box(x, y, *b, 3.0))
        return dist, inner
    if n == ENTER:
        ecx, ecy = (left + right) / 2, (top + bottom) / 2
        erx, ery = (right - left) / 2 - 0.8, (bottom - top) / 2 - 0.8
        return (lambda x, y: ellipse(x, y, ecx, ecy, erx, ery)), inner
    radius = 3.0 if bottom - top < 12 else 3.8
    return (lambda x, y, b=inner: rounded_box(x, y, *b, radius)), inner


def glyph_shapes(n, colour):
    left, top, right, bottom = place(n)
    cx, cy = (left + right) / 2, (top + bottom) / 2
    shapes = []
    if n in DIGITS:
        shapes.append(centred_text(DIGITS[n], SMALL, cx, math.floor(cy - 2.5), colour))
    elif n == ENTER:
        shapes.append(centred_text("OK", SMALL, cx, math.floor(cy - 2.5), colour))
    elif n in (UP, DOWN, LEFT, RIGHT):
        # A small solid triangle pointing away from the pad's centre.
        size = 3.2
        if n in (UP, DOWN):
            tip_y = top + 3.2 if n == UP else bottom - 3.2
            base_y = tip_y + size if n == UP else tip_y - size
            pts = ((cx, tip_y), (cx - size, base_y), (cx + size, base_y))
        else:
            tip_x = left + 4.0 if n == LEFT else right - 4.0
            base_x = tip_x + size if n == LEFT else tip_x - size
            pts = ((tip_x, cy), (base_x, cy - size), (base_x, cy + size))
        shapes.append(triangle(pts, colour))
    elif n == 33:
        # The key beside 0: a small dash, like the "-/--" key of a TV remote.
        shapes.append(box_shape(cx - 2.5, cy - 0.6, cx + 2.5, cy + 0.6, 0.3, colour))
    return shapes


def triangle(pts, colour):
    (x0, y0), (x1, y1), (x2, y2) = pts
    area = (x1 - x0) * (y2 - y0) - (x2 - x0) * (y1 - y0)

    def dist(x, y):
        d = -1e9
        for (ax, ay), (bx, by) in (((x0, y0), (x1, y1)), ((x1, y1), (x2, y2)),
                                   ((x2, y2), (x0, y0))):
            ex, ey = bx - ax, by - ay
            length = math.hypot(ex, ey)
            # Outward distance from the edge (positive outside).
            side = ((x - ax) * ey - (y - ay) * ex) / length
            d = max(d, side if area > 0 else -side)
        return d
    xs, ys = (x0, x1, x2), (y0, y1, y2)
    return Shape(dist, colour, (min(xs), min(ys), max(xs), max(ys)))


def overlaps(n):
    """The parts of button n's rectangle that another button's rectangle
    covers too (the pad's rectangles meet at their corners)."""
    left, top, right, bottom = place(n)
    parts = []
    for m in range(len(RECTS)):
        l2, t2, r2, b2 = place(m)
        if m != n and max(left, l2) < min(right, r2) and max(top, t2) < min(bottom, b2):
            parts.append((max(left, l2), max(top, t2), min(right, r2), min(bottom, b2)))
    return parts


def button_shapes(n, state):
    left, top, right, bottom = place(n)
    rim, cap_top, cap_bottom, glyph = look(n, state)
    key, (il, it, ir, ib) = key_distance(n)
    shared = overlaps(n)

    def dist(x, y):
        # Whichever of two buttons lies on top shows the shared corner, so
        # neither draws there: it stays the picture in every state.
        d = key(x, y)
        for (l2, t2, r2, b2) in shared:
            d = max(d, 1.7 - rounded_box(x, y, l2, t2, r2, b2, 0.0))
        return d
    shapes = [
        # The rim: a dark gap (or, pressed, a lit ring) round the cap.
        Shape(lambda x, y: dist(x, y) - 0.9, rim, (left, top, right, bottom)),
    ]
    if state == PRESSED:
        # The ring glows: a second, fainter band outside the first.
        shapes.insert(0, Shape(lambda x, y: dist(x, y) - 1.6, (196, 120, 30),
                               (left, top, right, bottom)))
    shapes.append(Shape(lambda x, y: dist(x, y) + 0.5,
                        cap_colour(cap_top, cap_bottom, it, ib, state == DISABLED),
                        (il, it, ir, ib)))
    shapes += glyph_shapes(n, glyph)
    return shapes


def scene(states):
    """The remote, each button n drawn in states.get(n, NORMAL)."""
    left, top, right, bottom = BODY
    shapes = [
        box_shape(left, top, right, bottom, BODY_RADIUS, OUTLINE),
        box_shape(left + 1, top + 1, right - 1, bottom - 1, BODY_RADIUS - 1, body_colour),
        # The window the infrared leaves through, set into the top.
        box_shape(19.5, 1.5, 84.5, 14.5, 6.0, (16, 4, 6)),
        box_shape(20.5, 2.5, 83.5, 13.5, 5.0, ir_window_colour),
        # The signal lamp between the top two buttons, in a dark socket.
        Shape(lambda x, y: math.hypot(x - 52.0, y - 28.5) - 2.6, (20, 20, 22),
              (49, 25, 55, 32)),
        Shape(lambda x, y: math.hypot(x - 52.0, y - 28.5) - 1.7,
              lambda x, y: (255, 150, 150) if math.hypot(x - 51.4, y - 27.9) < 0.7
              else (210, 34, 34), (50, 26, 54, 31)),
    ]
    # The direction pad sits in a round bezel.
    cx, cy = PAD_CENTRE
    rx, ry = PAD_RADII
    shapes += [
        Shape(lambda x, y: ellipse(x, y, cx, cy, rx, ry), OUTLINE,
              (cx - rx, cy - ry, cx + rx, cy + ry)),
        Shape(lambda x, y: ellipse(x, y, cx, cy, rx - 1.2, ry - 1.2),
              lambda x, y: mix((92, 96, 106), (50, 52, 58), (y - cy + ry) / (2 * ry)),
              (cx - rx, cy - ry, cx + rx, cy + ry)),
        # The ring the four keys are set in, and the dark dish of Enter
        # inside it.
        Shape(lambda x, y: ellipse(x, y, cx, cy, rx - 2.4, ry - 2.4),
              lambda x, y: mix((112, 116, 128), (70, 73, 82), (y - cy + ry) / (2 * ry)),
              (cx - rx, cy - ry, cx + rx, cy + ry)),
        Shape(lambda x, y: ellipse(x, y, cx, cy, 15.8, 10.6), OUTLINE,
              (cx - 16, cy - 11, cx + 16, cy + 11)),
        Shape(lambda x, y: ellipse(x, y, cx, cy, 15.0, 9.8),
              lambda x, y: mix((30, 31, 35), (56, 59, 66), (y - cy + 10) / 20),
              (cx - 16, cy - 11, cx + 16, cy + 11)),
    ]
    # Lettering on the body.
    shapes += [
        # A hairline between the pad and the digits, and the brand below them.
        box_shape(20.0, 203.0, 84.0, 204.0, 0.0, (74, 78, 88)),
        centred_text("QUORVAN", SMALL, 52.0, 296, (150, 156, 168)),
        centred_text("K7F3", LARGE, 52.0, 305, (222, 226, 234)),
        box_shape(34.0, 316.0, 70.0, 317.0, 0.0, (40, 122, 196)),
    ]
    for n in range(len(RECTS)):
        shapes += button_shapes(n, states.get(n, NORMAL))
    return shapes


# ---- rendering --------------------------------------------------------------

def render(shapes, left, top, right, bottom, dpi=96):
    """Pixels of a rectangle of the editor's client area at dpi, rows top
    down, each an (r, g, b) tuple. The scene is in the picture's pixels at
    96 DPI: a client pixel at dpi covers 96 / dpi of them, ORIGIN away."""
    step = 1.0 / SUPERSAMPLE
    total = SUPERSAMPLE * SUPERSAMPLE
    k = 96 / dpi
    rows = []
    for py in range(top, bottom):
        y0, y1 = py * k - ORIGIN[1], (py + 1) * k - ORIGIN[1]
        row = []
        for px in range(left, right):
            x0, x1 = px * k - ORIGIN[0], (px + 1) * k - ORIGIN[0]
            here = [s for s in shapes
                    if s.box[0] - 1 <= x1 and x0 <= s.box[2] + 1
                    and s.box[1] - 1 <= y1 and y0 <= s.box[3] + 1]
            here.reverse()
            acc = [0.0, 0.0, 0.0]
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    x = (px + (sx + 0.5) * step) * k - ORIGIN[0]
                    y = (py + (sy + 0.5) * step) * k - ORIGIN[1]
                    colour = FACE
                    for s in here:
                        if s.dist(x, y) <= 0.0:
                            colour = s.colour_at(x, y)
                            break
                    for i in range(3):
                        acc[i] += colour[i]
            row.append(tuple(min(255, max(0, int(v / total + 0.5))) for v in acc))
        rows.append(row)
    return rows


def write_bmp(path, rows):
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    data = b"".join(bytes(v for (r, g, b) in row for v in (b, g, r)) + b"\0" * (stride - width * 3)
                    for row in reversed(rows))
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def write_png(path, rows):
    height, width = len(rows), len(rows[0])

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    raw = b"".join(b"\0" + bytes(v for px in row for v in px) for row in rows)
    png = (b"\x89PNG\r\n\x1a\n" +
           chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
           chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))
    with open(path, "wb") as f:
        f.write(png)


def enlarge(rows, scale):
    return [[px for px in row for _ in range(scale)] for row in rows for _ in range(scale)]


def paste(canvas, rows, left, top):
    for dy, row in enumerate(rows):
        for dx, px in enumerate(row):
            canvas[top + dy][left + dx] = px


def previews(directory, picture, images):
    """The picture, and beside it the picture with every button pressed and
    with every button disabled, three times enlarged."""
    os.makedirs(directory, exist_ok=True)
    panels = [picture]
    for state in (PRESSED, DISABLED):
        panel = [list(row) for row in picture]
        for n in range(len(RECTS)):
            left, top, _, _ = place(n)
            paste(panel, images[n][state], left, top)
        panels.append(panel)
    gap = 6
    width = len(panels) * (WIDTH + gap) + gap
    canvas = [[(200, 200, 200)] * width for _ in range(HEIGHT + 2 * gap)]
    for i, panel in enumerate(panels):
        paste(canvas, panel, gap + i * (WIDTH + gap), gap)
    write_png(os.path.join(directory, "remote.png"), enlarge(canvas, 3))


def suffix(dpi):
    return "" if dpi == 96 else "_%d" % (dpi * 100 // 96)


def write_set(out, dpi):
    """The picture and the button images for one DPI; returns the 96 DPI
    ones (for the preview) as the picture and images[n][state]."""
    picture = render(scene({}), *client_rect(picture_rect(), dpi), dpi)
    write_bmp(os.path.join(out, "remote%s.bmp" % suffix(dpi)), picture)
    images = []
    for n in range(len(RECTS)):
        images.append({})
        for state in STATES:
            rows = render(scene({n: state}), *client_rect(RECTS[n], dpi), dpi)
            images[n][state] = rows
            write_bmp(os.path.join(out, "%s_%02d%s.bmp" % (state, n, suffix(dpi))), rows)
    return picture, images


def write_scaled_rc(out):
    lines = ["// Written by res/tools/make_remote.py: the picture and the button images",
             "// for the DPIs above 96, included by res/editor.rc."]
    for k, dpi in enumerate(DPIS):
        if dpi == 96:
            continue
        lines.append("")
        lines.append('IDB_REMOTE + %d BITMAP "bitmaps/remote%s.bmp"' % (k * ID_STEP, suffix(dpi)))
        for state, base in ((NORMAL, "IDB_BUTTON_NORMAL"), (PRESSED, "IDB_BUTTON_PRESSED"),
                            (DISABLED, "IDB_BUTTON_DISABLED")):
            for n in range(len(RECTS)):
                lines.append('%s + %d BITMAP "bitmaps/%s_%02d%s.bmp"'
                             % (base, k * ID_STEP + n, state, n, suffix(dpi)))
    with open(os.path.join(out, "scaled.rc"), "w", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    here = os.path.dirname(os.path.abspath(__file__))
    parser.add_argument("--out", default=os.path.join(here, "..", "bitmaps"))
    parser.add_argument("--preview", help="directory for an enlarged PNG to look at")
    parser.add_argument("--dpi", type=int, action="append",
                        help="draw only this DPI's set (repeatable); default all")
    args = parser.parse_args()
    for n in range(len(RECTS)):
        left, top, right, bottom = place(n)
        assert 0 <= left and right <= WIDTH and 0 <= top and bottom <= HEIGHT, n
    os.makedirs(args.out, exist_ok=True)

    for dpi in args.dpi or DPIS:
        assert dpi in DPIS, dpi
        picture, images = write_set(args.out, dpi)
        if dpi == 96 and args.preview:
            previews(args.preview, picture, images)
    write_scaled_rc(args.out)


if __name__ == "__main__":
    main()
