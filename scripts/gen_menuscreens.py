#!/usr/bin/env python3
"""Draws the menus' full-screen backgrounds and the demo's end screens as
640 x 480 RGB PNG images, with the boot screens' drawing helpers.

    python3 scripts/gen_menuscreens.py <output folder>

menu_title.png       the title menu's ground: "TAVIRELO" on sand, boules below
menu_title_demo.png  the same with "DEMO"
menu_quit.png        behind the quit question: a darker sand
menu_options.png     behind the options screen: plain sand (the screen writes its title)
endscreen<i>_<L>.png the demo's three end screens (i 1..3) in French (FR) and
                     English (EN)

The demo tints the end screens' first texture unit with its fade, so each is
a textured panel (Overlays/MenuScreens.overlay and .material). The build runs
this into the staged media; the output is deterministic.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import gen_bootscreens as boot  # noqa: E402

SAND = (214, 178, 120)
DARK_SAND = (150, 118, 74)
INK = (84, 48, 24)
NIGHT = (20, 24, 40)
LIGHT = (235, 232, 220)

boot.GLYPHS.update({
    "B": ["####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."],
    "C": [".####", "#....", "#....", "#....", "#....", "#....", ".####"],
    "H": ["#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "P": ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
    "S": [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    "Y": ["#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."],
})

END_TEXTS = {
    "FR": ["MERCI", "A BIENTOT", "TAVIRELO"],
    "EN": ["THANK YOU", "SEE YOU SOON", "TAVIRELO"],
}


# Left of the menu's buttons, which stand in the right third.
def boules(c):
    for cx in (130, 220, 310):
        c.ball(cx, 360, 30, (150, 152, 160), 140)
    c.ball(220, 425, 10, (200, 30, 24), 90)


def title(words=None):
    c = boot.Canvas(SAND)
    c.text("TAVIRELO", 90, 11, INK)
    if words:
        c.text(words, 160, 5, INK)
    boules(c)
    return c


def plain(ground):
    return boot.Canvas(ground)


def end_screen(words):
    c = boot.Canvas(NIGHT)
    c.text(words, 240, 7, LIGHT)
    return c


def images():
    yield "menu_title.png", title()
    yield "menu_title_demo.png", title("DEMO")
    yield "menu_quit.png", plain(DARK_SAND)
    yield "menu_options.png", plain(SAND)
    for lang, texts in END_TEXTS.items():
        for i, words in enumerate(texts, 1):
            yield "endscreen%d_%s.png" % (i, lang), end_screen(words)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    for name, canvas in images():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(canvas.png())


if __name__ == "__main__":
    main()
