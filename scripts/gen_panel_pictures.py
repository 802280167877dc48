#!/usr/bin/env python3
"""Draws the pictures of the throw-control panel as 64 x 64 RGBA PNG images.

    python3 scripts/gen_panel_pictures.py <output folder>

hud_pointer         pointing: a boule rolling along the ground to the target ball
hud_tirer           shooting: a boule flying straight at another one
hud_angle1..3       release angles for pointing: a low, a middle and a high arc
hud_angle3_tir      the high shot of a shooter: an arc that lands on a boule
hud_effet_nul       no spin: a plain boule
hud_effet_centre    forward spin: an arrow over the boule
hud_effet_gauche    spin to the left, hud_effet_droit spin to the right
hud_start_anim      the start button, hud_start_disabled its grey look
hud_fleche_g/_d     the radar's turn arrows
hud_marker          the gauges' marker: white with a black rim, seen on every zone
hud_camera_plus     the zoom button: a magnifying glass with a plus
hud_camera_moins    the back-view button: a magnifying glass with a minus
Each option picture and camera button has a chosen look "<name>_s" (lit
ground, gold frame); a lit camera button is the view in use.

The panel tints these pictures by blending their texture with a colour, so
every one is a real texture (Overlays/ThrowPanel.material). The build runs
this into the staged media; the output is deterministic.
"""
import math
import os
import struct
import sys
import zlib

SIZE = 64

GROUND = (28, 40, 64, 215)
GROUND_CHOSEN = (56, 92, 150, 235)
FRAME = (150, 160, 180, 255)
FRAME_CHOSEN = (240, 200, 60, 255)
STEEL = (176, 180, 190, 255)
STEEL_DARK = (110, 114, 124, 255)
TARGET = (210, 40, 30, 255)
INK = (240, 236, 220, 255)
EARTH = (150, 118, 74, 255)


class Canvas:
    def __init__(self, ground):
        self.px = [list(ground) for _ in range(SIZE * SIZE)]

    def put(self, x, y, colour):
        x, y = int(round(x)), int(round(y))
        if 0 <= x < SIZE and 0 <= y < SIZE:
            self.px[y * SIZE + x] = list(colour)

    def rect(self, x0, y0, x1, y1, colour):
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.put(x, y, colour)

    def frame(self, colour, width=2):
        self.rect(0, 0, SIZE, width, colour)
        self.rect(0, SIZE - width, SIZE, SIZE, colour)
        self.rect(0, 0, width, SIZE, colour)
        self.rect(SIZE - width, 0, SIZE, SIZE, colour)

    def disc(self, cx, cy, r, colour, light=None):
        for y in range(int(cy - r) - 1, int(cy + r) + 2):
            for x in range(int(cx - r) - 1, int(cx + r) + 2):
                d = math.hypot(x - cx, y - cy)
                if d <= r:
                    c = colour
                    if light and math.hypot(x - (cx - r / 3), y - (cy - r / 3)) < r / 3:
                        c = light
                    self.put(x, y, c)

    def line(self, x0, y0, x1, y1, colour, width=2.0):
        steps = int(max(abs(x1 - x0), abs(y1 - y0)) * 2) + 1
        for i in range(steps + 1):
            t = i / steps
            self.disc(x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, width / 2, colour)

    def polyline(self, points, colour, width=2.0, dashed=False):
        for i in range(len(points) - 1):
            if dashed and i % 2:
                continue
            self.line(*points[i], *points[i + 1], colour, width)

    def triangle(self, a, b, c, colour):
        xs = [p[0] for p in (a, b, c)]
        ys = [p[1] for p in (a, b, c)]

        def side(p, q, r):
            return (q[0] - p[0]) * (r[1] - p[1]) - (q[1] - p[1]) * (r[0] - p[0])
        for y in range(int(min(ys)), int(max(ys)) + 1):
            for x in range(int(min(xs)), int(max(xs)) + 1):
                s1, s2, s3 = side(a, b, (x, y)), side(b, c, (x, y)), side(c, a, (x, y))
                if (s1 >= 0 and s2 >= 0 and s3 >= 0) or (s1 <= 0 and s2 <= 0 and s3 <= 0):
                    self.put(x, y, colour)

    def png(self):
        raw = b"".join(b"\x00" + bytes(v for p in self.px[y * SIZE:(y + 1) * SIZE] for v in p)
                       for y in range(SIZE))

        def chunk(kind, data):
            return (struct.pack(">I", len(data)) + kind + data
                    + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
        return (b"\x89PNG\r\n\x1a\n"
                + chunk(b"IHDR", struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(raw, 9))
                + chunk(b"IEND", b""))


def arc(c, height, land_x=52):
    # A throw from the hand at the left to the ground at land_x.
    points = []
    for i in range(13):
        t = i / 12
        x = 10 + (land_x - 10) * t
        y = 50 - 8 * (1 - t) - height * 4 * t * (1 - t)
        points.append((x, y))
    c.rect(4, 51, 60, 53, EARTH)
    c.polyline(points, INK, 2.0, dashed=True)
    c.disc(10, 42, 4, STEEL, STEEL_DARK)


def pointer(c):
    c.rect(4, 44, 60, 46, EARTH)
    c.polyline([(8 + 4 * i, 40) for i in range(9)], INK, 1.5, dashed=True)
    c.disc(20, 36, 7, STEEL, STEEL_DARK)
    c.disc(50, 40, 3.5, TARGET)


def tirer(c):
    c.rect(4, 48, 60, 50, EARTH)
    c.disc(44, 38, 8, STEEL, STEEL_DARK)
    c.disc(18, 22, 7, STEEL, STEEL_DARK)
    for dy in (-5, 0, 5):
        c.line(4, 16 + dy, 10, 19 + dy, INK, 1.5)
    c.line(28, 28, 34, 32, TARGET, 2.0)


def spin_ball(c):
    c.disc(32, 38, 14, STEEL, STEEL_DARK)


def arrow_up(c):
    c.line(32, 30, 32, 14, INK, 3)
    c.triangle((24, 16), (40, 16), (32, 6), INK)


def arrow_turn(c, left):
    sign = -1 if left else 1
    points = [(32 + sign * 16 * math.sin(a / 10 * math.pi * 0.9), 26 - 12 * math.cos(a / 10 * math.pi * 0.9))
              for a in range(11)]
    c.polyline(points, INK, 3)
    tip = points[-1]
    c.triangle((tip[0] - 6, tip[1] - 3), (tip[0] + 6, tip[1] - 3), (tip[0], tip[1] + 6), INK)


def start(c, fill):
    c.disc(32, 32, 24, fill)
    c.triangle((24, 18), (24, 46), (46, 32), INK)


def magnifier(c, plus, colour):
    for y in range(SIZE):
        for x in range(SIZE):
            if 13 <= math.hypot(x - 27, y - 27) <= 18:
                c.put(x, y, colour)
    c.line(40, 40, 54, 54, colour, 6)
    c.rect(19, 25, 36, 30, colour)
    if plus:
        c.rect(25, 19, 30, 36, colour)


def flat_arrow(c, left, colour):
    sign = -1 if left else 1
    c.rect(20, 27, 44, 37, colour)
    tip = 32 + sign * 22
    base = 32 + sign * 6
    c.triangle((base, 14), (base, 50), (tip, 32), colour)


OPTIONS = {
    "hud_pointer": pointer,
    "hud_tirer": tirer,
    "hud_angle1": lambda c: arc(c, 2),
    "hud_angle2": lambda c: arc(c, 6),
    "hud_angle3": lambda c: arc(c, 11),
    "hud_angle3_tir": lambda c: (arc(c, 11, 46), c.disc(50, 46, 5, STEEL_DARK)),
}


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    pictures = {}
    for name, draw in OPTIONS.items():
        for chosen in (False, True):
            c = Canvas(GROUND_CHOSEN if chosen else GROUND)
            draw(c)
            c.frame(FRAME_CHOSEN if chosen else FRAME, 3 if chosen else 2)
            pictures[name + ("_s" if chosen else "")] = c
    for name, extra in (("hud_effet_nul", None), ("hud_effet_centre", arrow_up),
                        ("hud_effet_gauche", lambda c: arrow_turn(c, True)),
                        ("hud_effet_droit", lambda c: arrow_turn(c, False))):
        c = Canvas(GROUND)
        spin_ball(c)
        if extra:
            extra(c)
        c.frame(FRAME)
        pictures[name] = c
    for name, fill in (("hud_start_anim", (40, 160, 60, 255)), ("hud_start_disabled", (90, 90, 96, 255))):
        c = Canvas(GROUND)
        start(c, fill)
        c.frame(FRAME)
        pictures[name] = c
    for name, left, colour, ground in (("hud_fleche_g", True, INK, GROUND), ("hud_fleche_d", False, INK, GROUND),
                                       ("hud_fleche_g_s", True, FRAME_CHOSEN, GROUND_CHOSEN),
                                       ("hud_fleche_d_s", False, FRAME_CHOSEN, GROUND_CHOSEN)):
        c = Canvas(ground)
        flat_arrow(c, left, colour)
        pictures[name] = c
    marker = Canvas((250, 250, 250, 255))
    marker.frame((10, 10, 10, 255), 12)
    pictures["hud_marker"] = marker
    for name, plus in (("hud_camera_plus", True), ("hud_camera_moins", False)):
        for chosen in (False, True):
            c = Canvas(GROUND_CHOSEN if chosen else GROUND)
            magnifier(c, plus, FRAME_CHOSEN if chosen else INK)
            c.frame(FRAME_CHOSEN if chosen else FRAME, 3 if chosen else 2)
            pictures[name + ("_s" if chosen else "")] = c
    for name, c in pictures.items():
        with open(os.path.join(out, name + ".png"), "wb") as f:
            f.write(c.png())


if __name__ == "__main__":
    main()
