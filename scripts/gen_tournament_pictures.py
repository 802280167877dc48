#!/usr/bin/env python3
"""Draws the tournament screens' pictures (zlib only; shapes of
gen_menupictures.py).

    python3 scripts/gen_tournament_pictures.py <overlays folder>
    python3 scripts/gen_tournament_pictures.py --list    (the files it writes)

podium.png              the victory screen's podium: three steps, 1 2 3
credits_ground.png      the credits' background: light sand, a thin rim
<award>.tga             one picture per award object of the venues (cups,
                        medals, pennants, plaques), named as the object:
                        gold, silver or bronze by its last digit
transp.tga              a fully see-through picture (no award)
Tournament.material     the materials of these pictures

The victory screen sets the award pictures by file name (TGA), the rest are
PNG. The output is deterministic.
"""
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import gen_menupictures  # noqa: E402
from gen_menupictures import Canvas, INK, SAND, DARK_SAND  # noqa: E402

# The podium's place numbers, in the same 5 x 7 cells.
gen_menupictures.GLYPHS.update({
    "1": ["..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "2": [".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"],
    "3": ["####.", "....#", "....#", ".###.", "....#", "....#", "####."],
})

AWARDS = ["OB_R_PEN_01", "OB_R_FLA_01", "OB_R_MED_01", "OB_R_MED_02", "OB_R_MED_03", "OB_R_CLO_01",
          "OB_R_BAL_01", "OB_R_MAN_01", "OB_R_MAN_02", "OB_R_MAN_03", "OB_R_TAB_01", "OB_R_TAB_02",
          "OB_R_CEN_01", "OB_R_CUA_01", "OB_R_CUA_02", "OB_R_CUA_03", "OB_R_CUB_01", "OB_R_CUB_02",
          "OB_R_CUB_03", "OB_R_CUC_01", "OB_R_CUC_02", "OB_R_PEN_02"]
METALS = {"1": ((232, 188, 40), 120), "2": ((190, 194, 204), 110), "3": ((184, 112, 52), 90)}
RIBBON = (30, 70, 150)
WOOD = (120, 78, 40)


def tga(canvas):
    """Uncompressed 32-bit TGA, first row at the top."""
    header = struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, canvas.w, canvas.h, 32, 0x28)
    out = bytearray(header)
    px = canvas.px
    for i in range(0, len(px), 4):
        out += bytes((px[i + 2], px[i + 1], px[i], px[i + 3]))
    return bytes(out)


def cup(c, metal, light, wide):
    c.ellipse(64, 40, 34 if wide else 28, 12, tuple(int(v * 0.7) for v in metal))
    c.polygon([(30 if wide else 36, 40), (98 if wide else 92, 40), (76, 84), (52, 84)], metal)
    c.ellipse(64, 42, 30 if wide else 24, 8, tuple(min(255, v + 40) for v in metal))
    for side in (-1, 1):
        x = 64 + side * (38 if wide else 32)
        for k in range(10):
            c.disc(x + side * (k % 5), 48 + k * 2, 4, metal)
    c.rect(58, 84, 70, 100, metal)
    c.rect(42, 100, 86, 108, WOOD)
    c.rect(36, 108, 92, 120, tuple(int(v * 0.8) for v in WOOD))
    c.ball(52, 56, 5, (255, 255, 255), light)


def medal(c, metal, light):
    c.polygon([(44, 4), (60, 4), (70, 60), (56, 60)], RIBBON)
    c.polygon([(84, 4), (68, 4), (58, 60), (72, 60)], (200, 30, 24))
    c.ball(64, 82, 34, metal, light)
    c.disc(64, 82, 22, tuple(int(v * 0.85) for v in metal))
    c.ball(64, 82, 16, metal, light)


def pennant(c, colour):
    c.rect(20, 8, 26, 122, WOOD)
    c.polygon([(26, 12), (112, 40), (26, 70)], colour)
    c.polygon([(26, 30), (80, 40), (26, 52)], (240, 230, 200))


def flag(c):
    c.rect(16, 6, 22, 122, WOOD)
    c.rect(22, 12, 112, 72, RIBBON)
    c.rect(22, 32, 112, 52, (240, 230, 200))


def plaque(c, metal, light):
    c.rect(14, 20, 114, 112, WOOD)
    c.rect(22, 28, 106, 104, tuple(int(v * 0.8) for v in WOOD))
    c.ball(64, 66, 26, metal, light)


def bell(c, metal, light):
    c.polygon([(40, 90), (48, 36), (64, 22), (80, 36), (88, 90), (100, 100), (28, 100)], metal)
    c.disc(64, 104, 8, tuple(int(v * 0.6) for v in metal))
    c.ball(54, 50, 6, (255, 255, 255), light)


def award(name):
    c = Canvas(128, 128, (0, 0, 0), 0)
    kind, digit = name[5:8], name[-1]
    metal, light = METALS.get(digit, METALS["1"])
    if kind in ("CUA", "CUB", "CUC"):
        cup(c, metal, light, kind != "CUB")
    elif kind in ("MED", "MAN"):
        medal(c, metal, light)
    elif kind == "PEN":
        pennant(c, (200, 30, 24) if digit == "1" else RIBBON)
    elif kind == "FLA":
        flag(c)
    elif kind in ("TAB", "CEN"):
        plaque(c, metal if kind == "TAB" else METALS["3"][0], light)
    elif kind == "CLO":
        bell(c, metal, light)
    else:   # BAL: a boule on a stand
        c.rect(40, 100, 88, 116, WOOD)
        c.ball(64, 66, 36, (180, 184, 192), 120)
    return c


def podium():
    c = Canvas(512, 256, (0, 0, 0), 0)
    steps = [(176, 60, 336, (232, 188, 40), "1"), (16, 120, 176, (190, 194, 204), "2"),
             (336, 150, 496, (184, 112, 52), "3")]
    for x0, top, x1, colour, label in steps:
        c.rect(x0, top, x1, 256, DARK_SAND)
        c.rect(x0 + 6, top + 6, x1 - 6, 250, SAND)
        c.rect(x0, top, x1, top + 6, INK)
        c.disc((x0 + x1) // 2, top + 50, 30, colour)
        c.text(label, (x0 + x1) // 2, top + 50, 6, INK)
    return c


def credits_ground():
    c = Canvas(320, 240, (236, 220, 186))
    c.rect(0, 0, 320, 4, DARK_SAND)
    c.rect(0, 236, 320, 240, DARK_SAND)
    return c


def images():
    yield "podium.png", podium(), "png"
    yield "credits_ground.png", credits_ground(), "png"
    for name in AWARDS:
        yield name + ".tga", award(name), "tga"
    yield "transp.tga", Canvas(8, 8, (0, 0, 0), 0), "tga"


def material(name, texture, blend):
    lines = ["material %s" % name, "{", "\ttechnique", "\t{", "\t\tpass", "\t\t{",
             "\t\t\tlighting off", "\t\t\tdepth_check off", "\t\t\tdepth_write off"]
    if blend:
        lines.append("\t\t\tscene_blend alpha_blend")
    lines += ["\t\t\ttexture_unit", "\t\t\t{", "\t\t\t\ttexture %s" % texture,
              "\t\t\t\ttex_address_mode clamp", "\t\t\t\tfiltering linear linear none", "\t\t\t}",
              "\t\t}", "\t}", "}", ""]
    return "\n".join(lines)


def materials():
    out = ["// The tournament screens' pictures (written with them by scripts/gen_tournament_pictures.py).", ""]
    out.append(material("HUD/Victory/Podium", "podium.png", True))
    out.append(material("HUD/Credits/Ground", "credits_ground.png", False))
    # Each award element has its own material: the victory screen changes its picture.
    for place in ("First", "Second", "Third"):
        out.append(material("HUD/Victory/%sAward" % place, "transp.tga", True))
    return "\n".join(out)


def main():
    if len(sys.argv) == 2 and sys.argv[1] == "--list":
        print(";".join([name for name, _, _ in images()] + ["Tournament.material"]))
        return
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    for name, canvas, kind in images():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(canvas.png() if kind == "png" else tga(canvas))
    with open(os.path.join(folder, "Tournament.material"), "w") as out:
        out.write(materials())


if __name__ == "__main__":
    main()
