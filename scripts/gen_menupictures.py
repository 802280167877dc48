#!/usr/bin/env python3
"""Draws the pictures of the menu screens as PNG images (zlib only).

    python3 scripts/gen_menupictures.py <overlays folder> <GUI folder>
    python3 scripts/gen_menupictures.py --list    (the files of the overlays folder)

menu_ground.png         the screens' background: sand with a darker band at
                        the top (the title) and at the bottom (the buttons)
menu_actor.png          the choose-actor background, open (transparent) on the
                        left where the 3D preview of the player stands
stage_<name>.png        the four venues of the stage screen
map_france.png          France as a hexagon with a dot per region
map_world.png           the continents, with a dot per country
map_<entry>.png         the same map with the entry's dot large and red
flag_<entry>.png        the entry's flag: simple stripes for the countries, a
                        two-colour banner with initials for the regions
team_marker.png         a boule: the marker of a human in a team
bar_white.png           white: the bars are tinted through their texture
tavirelo_cursor.png     (GUI folder) the mouse cursor of the imageset
                        "Tavirelo_GUI": a dark arrow with a light rim

The entries are the resource names the team table uses (countries and the
regions' second names). The output is deterministic.
"""
import math
import os
import struct
import sys
import zlib

# 5 x 7 capitals and digits, "#" for a set pixel.
GLYPHS = {
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "B": ["####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."],
    "C": [".####", "#....", "#....", "#....", "#....", "#....", ".####"],
    "D": ["####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "F": ["#####", "#....", "#....", "####.", "#....", "#....", "#...."],
    "G": [".####", "#....", "#....", "#.###", "#...#", "#...#", ".###."],
    "H": ["#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "I": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "#####"],
    "J": ["..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."],
    "K": ["#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"],
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    "M": ["#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"],
    "N": ["#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"],
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "P": ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
    "Q": [".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "S": [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "U": ["#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "V": ["#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    "W": ["#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"],
    "Y": ["#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."],
}

SAND = (214, 178, 120)
DARK_SAND = (176, 140, 88)
INK = (84, 48, 24)
SEA = (70, 120, 170)
LAND = (120, 160, 90)
DOT = (60, 60, 60)
RED = (200, 30, 24)


class Canvas:
    def __init__(self, width, height, ground, alpha=255):
        self.w, self.h = width, height
        self.px = bytearray(bytes(tuple(ground) + (alpha,)) * (width * height))

    def copy(self):
        c = Canvas.__new__(Canvas)
        c.w, c.h, c.px = self.w, self.h, bytearray(self.px)
        return c

    def put(self, x, y, colour, alpha=255):
        if 0 <= x < self.w and 0 <= y < self.h:
            i = (y * self.w + x) * 4
            self.px[i:i + 4] = bytes(tuple(colour) + (alpha,))

    def rect(self, x0, y0, x1, y1, colour, alpha=255):
        cell = bytes(tuple(colour) + (alpha,))
        a, b = max(0, int(x0)), min(self.w, int(x1))
        if a >= b:
            return
        for y in range(max(0, int(y0)), min(self.h, int(y1))):
            row = y * self.w * 4
            self.px[row + a * 4:row + b * 4] = cell * (b - a)

    def disc(self, cx, cy, r, colour):
        for y in range(int(cy - r), int(cy + r) + 1):
            for x in range(int(cx - r), int(cx + r) + 1):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    self.put(x, y, colour)

    def ellipse(self, cx, cy, rx, ry, colour):
        for y in range(int(cy - ry), int(cy + ry) + 1):
            for x in range(int(cx - rx), int(cx + rx) + 1):
                if ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0:
                    self.put(x, y, colour)

    def polygon(self, points, colour):
        ys = [p[1] for p in points]
        for y in range(int(min(ys)), int(max(ys)) + 1):
            xs = []
            for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]):
                if (y0 <= y < y1) or (y1 <= y < y0):
                    xs.append(x0 + (y - y0) * (x1 - x0) / (y1 - y0))
            xs.sort()
            for a, b in zip(xs[0::2], xs[1::2]):
                self.rect(a, y, b + 1, y + 1, colour)

    def text(self, words, cx, cy, scale, colour):
        width = len(words) * 6 * scale - scale
        x = int(cx - width / 2)
        top = int(cy - 7 * scale / 2)
        for ch in words:
            for row, bits in enumerate(GLYPHS.get(ch, GLYPHS["O"])):
                for col, bit in enumerate(bits):
                    if bit == "#":
                        self.rect(x + col * scale, top + row * scale,
                                  x + (col + 1) * scale, top + (row + 1) * scale, colour)
            x += 6 * scale

    def ball(self, cx, cy, radius, base, light):
        lx, ly, lz = -0.45, -0.55, 0.7
        n = math.sqrt(lx * lx + ly * ly + lz * lz)
        lx, ly, lz = lx / n, ly / n, lz / n
        for y in range(int(cy - radius), int(cy + radius) + 1):
            for x in range(int(cx - radius), int(cx + radius) + 1):
                dx, dy = (x - cx) / radius, (y - cy) / radius
                d2 = dx * dx + dy * dy
                if d2 > 1.0:
                    continue
                dz = math.sqrt(1.0 - d2)
                diffuse = max(0.0, dx * lx + dy * ly + dz * lz)
                shine = diffuse ** 24
                self.put(x, y, tuple(min(255, int(c * (0.35 + 0.65 * diffuse) + light * shine)) for c in base))

    def png(self):
        stride = self.w * 4
        rows = b"".join(b"\x00" + bytes(self.px[y * stride:(y + 1) * stride]) for y in range(self.h))

        def chunk(kind, data):
            return (struct.pack(">I", len(data)) + kind + data +
                    struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

        header = struct.pack(">IIBBBBB", self.w, self.h, 8, 6, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


# ---- backgrounds -------------------------------------------------------------

def ground():
    c = Canvas(640, 480, SAND)
    c.rect(0, 0, 640, 90, DARK_SAND)
    c.rect(0, 90, 640, 93, INK)
    c.rect(0, 405, 640, 408, INK)
    c.rect(0, 408, 640, 480, DARK_SAND)
    return c


def actor_ground():
    c = ground()
    # The preview's window: the 3D scene shows through.
    c.rect(10, 96, 286, 402, INK)
    c.rect(13, 99, 283, 399, (0, 0, 0), 0)
    return c


# ---- venues ------------------------------------------------------------------

def stage(sky, far, near, extra):
    c = Canvas(512, 256, sky)
    for y in range(0, 110):
        shade = y / 110.0
        c.rect(0, y, 512, y + 1, tuple(int(s * (0.8 + 0.2 * shade)) for s in sky))
    extra(c, far)
    c.rect(0, 170, 512, 256, near)
    # The pitch's boundary line and three boules with the jack.
    c.rect(40, 200, 472, 202, (240, 236, 220))
    for x in (200, 250, 300):
        c.ball(x, 225, 12, (150, 152, 160), 140)
    c.ball(330, 232, 5, RED, 90)
    return c


def marseille(c, far):
    c.rect(0, 120, 512, 170, (40, 100, 160))
    c.polygon([(300, 120), (360, 70), (420, 95), (480, 60), (512, 80), (512, 120)], far)


def baltard(c, far):
    # The iron hall: pillars under round arches.
    c.rect(0, 36, 512, 42, far)
    for x in range(0, 513, 128):
        c.rect(x - 5, 36, x + 5, 170, far)
    for x0 in range(0, 512, 128):
        for step in range(0, 129):
            t = step / 128.0
            y = 42 + int(40 * (1.0 - math.sin(math.pi * t)))
            c.rect(x0 + step - 2, y, x0 + step + 2, y + 4, far)


def reunion(c, far):
    c.polygon([(80, 170), (250, 40), (420, 170)], far)
    c.polygon([(230, 55), (250, 40), (270, 55)], (230, 230, 235))


def laciotat(c, far):
    c.rect(0, 130, 512, 170, (40, 110, 170))
    c.polygon([(0, 60), (90, 80), (160, 130), (0, 130)], far)
    c.rect(360, 90, 368, 130, (70, 70, 80))
    c.rect(330, 88, 420, 94, (70, 70, 80))


STAGES = {
    "Marseille": ((150, 190, 230), (190, 170, 140), (200, 168, 110), marseille),
    "Baltar": ((120, 130, 140), (60, 80, 70), (170, 140, 100), baltard),
    "Reunion": ((140, 200, 235), (60, 110, 60), (190, 150, 100), reunion),
    "Laciotat": ((160, 200, 240), (170, 80, 50), (205, 170, 115), laciotat),
}

# ---- maps and flags ----------------------------------------------------------

# Approximate latitude and longitude of each region's centre, on France's map.
REGIONS = {
    "Aquitaine": (44.6, -0.4), "Auvergne": (45.5, 3.2), "Bourgogne": (47.1, 4.4),
    "Bretagne": (48.2, -2.9), "Champagne-Ardenne": (49.0, 4.4), "Corse": (42.1, 9.1),
    "Franche-Comte": (47.1, 6.1), "Ile-de-France": (48.7, 2.5), "Languedoc-Roussillon": (43.6, 3.5),
    "Lorraine": (48.9, 6.2), "Midi-Pyrenees": (43.8, 1.4), "Nord-Pas-de-Calais": (50.5, 2.6),
    "Picardie": (49.7, 2.6), "Poitou-Charentes": (46.1, 0.0), "Provence-Alpes-Cote-d-Azur": (43.9, 6.2),
    "Rhone-Alpes": (45.5, 5.3),
}
REGION_CODES = {
    "Aquitaine": "AQ", "Auvergne": "AU", "Bourgogne": "BG", "Bretagne": "BR", "Champagne-Ardenne": "CA",
    "Corse": "CO", "Franche-Comte": "FC", "Ile-de-France": "IF", "Languedoc-Roussillon": "LR",
    "Lorraine": "LO", "Midi-Pyrenees": "MP", "Nord-Pas-de-Calais": "NP", "Picardie": "PI",
    "Poitou-Charentes": "PC", "Provence-Alpes-Cote-d-Azur": "PA", "Rhone-Alpes": "RA",
}
REGION_COLOURS = [(30, 70, 150), (170, 30, 40), (30, 120, 60), (200, 160, 20), (90, 40, 120), (20, 120, 140)]

# Approximate latitude and longitude of each country's capital.
COUNTRIES = {
    "Algerie": (36.8, 3.1), "Allemagne": (52.5, 13.4), "Argentine": (-34.6, -58.4), "Australie": (-35.3, 149.1),
    "Belgique": (50.8, 4.4), "Canada": (45.4, -75.7), "Espagne": (40.4, -3.7), "France": (48.9, 2.4),
    "Italie": (41.9, 12.5), "Japon": (35.7, 139.7), "Maroc": (34.0, -6.8), "Russie": (55.8, 37.6),
    "Suede": (59.3, 18.1), "Suisse": (46.9, 7.4), "Thailande": (13.8, 100.5), "Tunisie": (36.8, 10.2),
}

FW, FH = 240, 256   # France map
WW, WH = 360, 256   # world map


def france_xy(lat, lon):
    # 42 to 51.2 N, -5 to 9.8 E onto the picture, with a margin.
    x = 16 + (lon + 5.0) / 14.8 * (FW - 32)
    y = 16 + (51.2 - lat) / 9.2 * (FH - 32)
    return x, y


def world_xy(lat, lon):
    return (lon + 180.0) / 360.0 * WW, (90.0 - lat) / 180.0 * WH


def france_base():
    c = Canvas(FW, FH, SEA, 0)
    hexagon = [france_xy(51.1, 2.5), france_xy(48.9, 8.2), france_xy(43.6, 7.5), france_xy(42.4, 3.0),
               france_xy(43.4, -1.8), france_xy(48.3, -4.8)]
    c.polygon(hexagon, LAND)
    corse = france_xy(42.1, 9.1)
    c.ellipse(corse[0], corse[1], 7, 14, LAND)
    for lat, lon in REGIONS.values():
        x, y = france_xy(lat, lon)
        c.disc(x, y, 3, DOT)
    return c


def world_base():
    c = Canvas(WW, WH, SEA)
    # The continents as a few ellipses: enough to place a country.
    blobs = [(45, -100, 22, 40), (62, -100, 12, 55), (-15, -60, 30, 18), (50, 15, 12, 25), (55, 80, 18, 60),
             (30, 80, 15, 35), (5, 20, 30, 22), (-25, 25, 12, 14), (-25, 135, 12, 20), (36, 138, 6, 5),
             (15, 103, 8, 8), (72, -40, 8, 18)]
    for lat, lon, rlat, rlon in blobs:
        x, y = world_xy(lat, lon)
        c.ellipse(x, y, rlon / 360.0 * WW, rlat / 180.0 * WH, LAND)
    for lat, lon in COUNTRIES.values():
        x, y = world_xy(lat, lon)
        c.disc(x, y, 2, DOT)
    return c


def marked(base, x, y):
    c = base.copy()
    c.disc(x, y, 8, (255, 255, 255))
    c.disc(x, y, 6, RED)
    return c


def stripes(colours, vertical, weights=None):
    c = Canvas(96, 64, colours[0])
    weights = weights or [1] * len(colours)
    total = float(sum(weights))
    at = 0.0
    for colour, w in zip(colours, weights):
        if vertical:
            c.rect(round(at / total * 96), 0, round((at + w) / total * 96), 64, colour)
        else:
            c.rect(0, round(at / total * 64), 96, round((at + w) / total * 64), colour)
        at += w
    return c


def nordic_cross(ground, cross):
    c = Canvas(96, 64, ground)
    c.rect(28, 0, 40, 64, cross)
    c.rect(0, 26, 96, 38, cross)
    return c


def country_flag(name):
    blue, white, red = (0, 56, 150), (245, 245, 245), (206, 17, 38)
    green, yellow, black = (0, 122, 61), (252, 209, 22), (20, 20, 20)
    if name == "France":
        return stripes([blue, white, red], True)
    if name == "Italie":
        return stripes([green, white, red], True)
    if name == "Belgique":
        return stripes([black, yellow, red], True)
    if name == "Allemagne":
        return stripes([black, red, (255, 206, 0)], False)
    if name == "Russie":
        return stripes([white, blue, red], False)
    if name == "Argentine":
        c = stripes([(116, 172, 223), white, (116, 172, 223)], False)
        c.disc(48, 32, 6, (246, 180, 14))
        return c
    if name == "Espagne":
        return stripes([(170, 21, 27), (241, 191, 0), (170, 21, 27)], False, [1, 2, 1])
    if name == "Suede":
        return nordic_cross((0, 106, 167), (254, 204, 0))
    if name == "Suisse":
        c = Canvas(96, 64, (218, 41, 28))
        c.rect(42, 14, 54, 50, white)
        c.rect(30, 26, 66, 38, white)
        return c
    if name == "Japon":
        c = Canvas(96, 64, white)
        c.disc(48, 32, 19, (188, 0, 45))
        return c
    if name == "Canada":
        c = stripes([red, white, red], True, [1, 2, 1])
        c.polygon([(48, 14), (58, 30), (54, 46), (42, 46), (38, 30)], red)
        return c
    if name == "Algerie":
        c = stripes([(0, 98, 51), white], True)
        c.disc(50, 32, 14, red)
        c.disc(55, 32, 12, white)
        return c
    if name == "Maroc":
        c = Canvas(96, 64, (193, 39, 45))
        c.disc(48, 32, 12, (0, 98, 51))
        c.disc(48, 32, 8, (193, 39, 45))
        return c
    if name == "Tunisie":
        c = Canvas(96, 64, (231, 0, 19))
        c.disc(48, 32, 16, white)
        c.disc(48, 32, 10, (231, 0, 19))
        c.disc(52, 32, 9, white)
        return c
    if name == "Thailande":
        return stripes([(165, 25, 49), white, (45, 42, 74), white, (165, 25, 49)], False, [1, 1, 2, 1, 1])
    if name == "Australie":
        c = Canvas(96, 64, (0, 0, 139))
        for x, y in ((70, 14), (80, 28), (62, 34), (72, 50), (24, 48)):
            c.disc(x, y, 3, white)
        return c
    raise SystemExit("no flag drawn for " + name)


def region_flag(index, name):
    a = REGION_COLOURS[index % len(REGION_COLOURS)]
    b = REGION_COLOURS[(index * 5 + 2) % len(REGION_COLOURS)]
    if b == a:
        b = (230, 230, 230)
    c = Canvas(96, 64, a)
    c.polygon([(96, 0), (96, 64), (0, 64)], b)
    c.rect(18, 14, 78, 50, (245, 245, 245))
    c.text(REGION_CODES[name], 48, 32, 3, INK)
    return c


def images():
    yield "menu_ground.png", ground()
    yield "menu_actor.png", actor_ground()
    for name, (sky, far, near, extra) in STAGES.items():
        yield "stage_%s.png" % name, stage(sky, far, near, extra)
    france, world = france_base(), world_base()
    yield "map_france.png", france
    yield "map_world.png", world
    for name, (lat, lon) in REGIONS.items():
        yield "map_%s.png" % name, marked(france, *france_xy(lat, lon))
    for name, (lat, lon) in COUNTRIES.items():
        yield "map_%s.png" % name, marked(world, *world_xy(lat, lon))
    for index, name in enumerate(sorted(REGIONS)):
        yield "flag_%s.png" % name, region_flag(index, name)
    for name in COUNTRIES:
        yield "flag_%s.png" % name, country_flag(name)
    marker = Canvas(64, 64, (0, 0, 0), 0)
    marker.ball(32, 32, 28, (150, 152, 160), 140)
    yield "team_marker.png", marker
    yield "bar_white.png", Canvas(8, 8, (255, 255, 255))


def material(name, texture, blend=False):
    lines = ["material %s" % name, "{", "\ttechnique", "\t{", "\t\tpass", "\t\t{",
             "\t\t\tlighting off", "\t\t\tdepth_check off", "\t\t\tdepth_write off"]
    if blend:
        lines.append("\t\t\tscene_blend alpha_blend")
    lines += ["\t\t\ttexture_unit", "\t\t\t{", "\t\t\t\ttexture %s" % texture,
              "\t\t\t\ttex_address_mode clamp", "\t\t\t\tfiltering linear linear none", "\t\t\t}",
              "\t\t}", "\t}", "}", ""]
    return "\n".join(lines)


def materials():
    """The materials of the pictures above, one per name the menus use."""
    out = ["// The menu screens' pictures (written with them by scripts/gen_menupictures.py).", ""]
    out.append(material("MENU/Screen", "menu_ground.png"))
    out.append(material("MENU/ActorScreen", "menu_actor.png", True))
    for name in STAGES:
        out.append(material("MENU/Terrain/%s" % name, "stage_%s.png" % name))
    out.append(material("MENU/Country/mapF", "map_france.png", True))
    out.append(material("MENU/Country/mapW", "map_world.png"))
    out.append(material("Championnat/MapFrance", "map_france.png", True))
    out.append(material("Championnat/MapWorld", "map_world.png"))
    for name in list(REGIONS) + list(COUNTRIES):
        out.append(material("MENU/Country/map/%s" % name, "map_%s.png" % name, name in REGIONS))
        out.append(material("MENU/Country/flag/%s" % name, "flag_%s.png" % name))
    out.append(material("MENU/Teams/Marker", "team_marker.png", True))
    # Each bar has its own material: a tint changes the material for all its users.
    for j in range(6):
        out.append(material("MENU/Actor/Scale%d" % j, "bar_white.png"))
    out.append(material("MENU/Actor/CaracFill", "bar_white.png"))
    out.append(material("MENU/Actor/CaracRest", "bar_white.png"))
    return "\n".join(out)


def cursor():
    c = Canvas(24, 32, (0, 0, 0), 0)
    outline = [(0, 0), (0, 26), (6, 20), (11, 31), (15, 29), (10, 19), (18, 19)]
    c.polygon(outline, (245, 245, 235))
    inner = [(2, 4), (2, 21), (6, 17), (11, 27), (12, 26), (8, 17), (14, 17)]
    c.polygon(inner, (40, 28, 16))
    return c


def main():
    if len(sys.argv) == 2 and sys.argv[1] == "--list":
        print(";".join([name for name, _ in images()] + ["MenuPictures.material"]))
        return
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    folder = sys.argv[1]
    os.makedirs(sys.argv[2], exist_ok=True)
    with open(os.path.join(sys.argv[2], "tavirelo_cursor.png"), "wb") as out:
        out.write(cursor().png())
    os.makedirs(folder, exist_ok=True)
    for name, canvas in images():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(canvas.png())
    with open(os.path.join(folder, "MenuPictures.material"), "w") as out:
        out.write(materials())


if __name__ == "__main__":
    main()
