#!/usr/bin/env python3
"""Draws the picture on the installer's and uninstaller's welcome and finish
pages and writes installer/wizard.bmp.

The picture is the editor's remote, every button at rest, drawn from the
same shapes as the editor's picture (make_remote.py) but smaller, upright on
a light blue ground, with a soft shadow and signal arcs leaving its infrared
window. The page shows it at 164 x 314 pixels, the size of its left panel.

Standard library only, deterministic:
    python3 res/tools/make_installer_art.py            # writes installer/wizard.bmp
    python3 res/tools/make_installer_art.py --out F.bmp
"""

import argparse
import math
import os

import make_remote as remote

WIDTH, HEIGHT = 164, 314
SUPERSAMPLE = 4
SCALE = 0.78
# Where the remote's picture origin lands on the panel.
LEFT = (WIDTH - remote.WIDTH * SCALE) / 2
TOP = 32.0
ARC = (16, 112, 255)


def ground(x, y):
    """The panel's ground, a soft shadow under the remote and the arcs."""
    colour = remote.mix((226, 234, 246), (150, 178, 220), y / HEIGHT)
    left, top, right, bottom = remote.BODY
    d = remote.rounded_box((x - LEFT) / SCALE - 5, (y - TOP) / SCALE - 6,
                           left, top, right, bottom, remote.BODY_RADIUS)
    colour = remote.mix(colour, (60, 76, 104), 0.4 * (1 - min(max(d / 10, 0.0), 1.0)))
    # Three arcs above the infrared window, a quarter turn wide each.
    cx, cy = LEFT + 52.0 * SCALE, TOP + 8.0 * SCALE
    r = math.hypot(x - cx, y - cy)
    if y < cy and abs(x - cx) < (cy - y):
        for radius in (11.0, 18.0, 25.0):
            if abs(r - radius) < 1.3:
                colour = remote.mix(colour, ARC, 1.0 - radius / 40)
    return colour


def render(shapes):
    """The panel's pixels, rows top down."""
    step = 1.0 / SUPERSAMPLE
    total = SUPERSAMPLE * SUPERSAMPLE
    boxes = [(s, (LEFT + (s.box[0] - 1) * SCALE, TOP + (s.box[1] - 1) * SCALE,
                  LEFT + (s.box[2] + 1) * SCALE, TOP + (s.box[3] + 1) * SCALE))
             for s in shapes]
    rows = []
    for py in range(HEIGHT):
        row = []
        for px in range(WIDTH):
            here = [s for s, (l, t, r, b) in boxes if l <= px + 1 and px <= r and t <= py + 1 and py <= b]
            here.reverse()
            acc = [0.0, 0.0, 0.0]
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    x, y = px + (sx + 0.5) * step, py + (sy + 0.5) * step
                    u, v = (x - LEFT) / SCALE, (y - TOP) / SCALE
                    colour = None
                    for s in here:
                        if s.dist(u, v) <= 0.0:
                            colour = s.colour_at(u, v)
                            break
                    if colour is None:
                        colour = ground(x, y)
                    for i in range(3):
                        acc[i] += colour[i]
            row.append(tuple(min(255, max(0, int(c / total + 0.5))) for c in acc))
        rows.append(row)
    return rows


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(here, "..", "..", "installer", "wizard.bmp"))
    args = parser.parse_args()
    remote.write_bmp(args.out, render(remote.scene({})))


if __name__ == "__main__":
    main()
