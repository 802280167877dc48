#!/usr/bin/env python3
"""Draws the two boot screens as 640 x 480 RGB PNG images.

    python3 scripts/gen_bootscreens.py <output folder>

bootscreen1.png  the engine's screen: "KEM" over "ENGINE" in off-white on a
                 deep blue ground, framed by a thin light rule
bootscreen2.png  the game's title: "TAVIRELO" over "LE JEU DU DORNAVELLE"
                 in dark brown on sand, with three steel boules and the small
                 red target ball below

The grounds are plain colours (SCREEN1_GROUND, SCREEN2_GROUND) so that a test
can recognise each screen from a few pixels. The build runs this into the
staged media (folder Overlays, next to BootScreens.overlay and
BootScreens.material); the output is deterministic.
"""
import math
import os
import struct
import sys
import zlib

WIDTH, HEIGHT = 640, 480

SCREEN1_GROUND = (24, 40, 96)
SCREEN1_INK = (235, 232, 220)
SCREEN2_GROUND = (214, 178, 120)
SCREEN2_INK = (84, 48, 24)

# 5 x 7 capitals, one string per row, "#" for a set pixel.
GLYPHS = {
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "D": ["####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "G": [".####", "#....", "#....", "#.###", "#...#", "#...#", ".###."],
    "I": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "#####"],
    "J": ["..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."],
    "K": ["#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"],
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    "M": ["#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"],
    "N": ["#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"],
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "U": ["#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "V": ["#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    " ": [".....", ".....", ".....", ".....", ".....", ".....", "....."],
}


class Canvas:
    def __init__(self, ground):
        self.pixels = bytearray(bytes(ground) * (WIDTH * HEIGHT))

    def put(self, x, y, colour):
        if 0 <= x < WIDTH and 0 <= y < HEIGHT:
            i = (y * WIDTH + x) * 3
            self.pixels[i:i + 3] = bytes(colour)

    def rect(self, x0, y0, x1, y1, colour):
        for y in range(max(0, y0), min(HEIGHT, y1)):
            row = (y * WIDTH) * 3
            a, b = max(0, x0), min(WIDTH, x1)
            if a < b:
                self.pixels[row + a * 3:row + b * 3] = bytes(colour) * (b - a)

    def text(self, words, centre_y, scale, colour):
        """One line of capitals centred horizontally; glyphs 5 wide, 1 apart."""
        width = len(words) * 6 * scale - scale
        x = (WIDTH - width) // 2
        top = centre_y - (7 * scale) // 2
        for ch in words:
            for row, bits in enumerate(GLYPHS[ch]):
                for col, bit in enumerate(bits):
                    if bit == "#":
                        self.rect(x + col * scale, top + row * scale,
                                  x + (col + 1) * scale, top + (row + 1) * scale, colour)
            x += 6 * scale

    def ball(self, cx, cy, radius, base, light):
        """A shaded sphere lit from the upper left."""
        lx, ly, lz = -0.45, -0.55, 0.7
        norm = math.sqrt(lx * lx + ly * ly + lz * lz)
        lx, ly, lz = lx / norm, ly / norm, lz / norm
        for y in range(cy - radius, cy + radius + 1):
            for x in range(cx - radius, cx + radius + 1):
                dx, dy = (x - cx) / radius, (y - cy) / radius
                d2 = dx * dx + dy * dy
                if d2 > 1.0:
                    continue
                dz = math.sqrt(1.0 - d2)
                diffuse = max(0.0, dx * lx + dy * ly + dz * lz)
                shine = diffuse ** 24
                colour = tuple(
                    min(255, int(c * (0.35 + 0.65 * diffuse) + light * shine)) for c in base)
                self.put(x, y, colour)

    def png(self):
        rows = b"".join(b"\x00" + bytes(self.pixels[y * WIDTH * 3:(y + 1) * WIDTH * 3])
                        for y in range(HEIGHT))

        def chunk(kind, data):
            return (struct.pack(">I", len(data)) + kind + data +
                    struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

        header = struct.pack(">IIBBBBB", WIDTH, HEIGHT, 8, 2, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


def screen1():
    c = Canvas(SCREEN1_GROUND)
    c.rect(120, 120, 520, 123, SCREEN1_INK)
    c.rect(120, 357, 520, 360, SCREEN1_INK)
    c.text("KEM", 210, 16, SCREEN1_INK)
    c.text("ENGINE", 310, 6, SCREEN1_INK)
    return c


def screen2():
    c = Canvas(SCREEN2_GROUND)
    c.text("TAVIRELO", 130, 11, SCREEN2_INK)
    c.text("LE JEU DU DORNAVELLE", 215, 4, SCREEN2_INK)
    for cx in (230, 320, 410):
        c.ball(cx, 330, 34, (150, 152, 160), 140)
    c.ball(320, 400, 11, (200, 30, 24), 90)
    return c


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    for name, draw in (("bootscreen1.png", screen1), ("bootscreen2.png", screen2)):
        with open(os.path.join(folder, name), "wb") as out:
            out.write(draw().png())


if __name__ == "__main__":
    main()
