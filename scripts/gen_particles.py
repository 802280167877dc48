#!/usr/bin/env python3
"""Writes our particle files and their sprite texture.

    python3 scripts/gen_particles.py <output folder>

dust_impact.pfx  a puff of dust where a ball lands: one wave of 24 sprites
                 thrown up and out, falling back, growing and fading
dust_roll.pfx    a thin trail of dust behind a rolling ball: 32 sprites,
                 emitted until the effect is stopped
poussiere.pfx    the dust a ball raises while it rolls on the ground (the
                 balls' rolling effect): 40 sprites, emitted until stopped
graviers.pfx     the gravel a ball kicks up where it lands (the balls'
                 landing effect): 20 small dark chips thrown up and bouncing,
                 with 12 puffs of dust
pfx_gravel.png   16 x 16 hard-edged chip
pfx_dust.png     32 x 32 soft round blob (the files name it "pfx_dust.tga";
                 the engine loads the .png of the same stem)

A particle file is a CObjnet object: type ids, ints and lengths big-endian,
floats little-endian; the header, parameter blocks and animation keys inside
it are raw little-endian images. The particle engine's third coordinate is
the vertical one. The output is deterministic.
"""
import math
import os
import struct
import sys
import zlib

PFX = "particulesys::particulesys(buffer,string,object,{object=NULL},...)"
BANK = "particulesys::texture_bank({int,string}=NULL,...)"
MODIFIER = "particulesys::modifier({buffer=NULL,buffer=NULL,buffer=NULL},...)"

ENABLED = 1
FOREVER = 0x80000000


# ---- CObjnet fields ----------------------------------------------------------------

def type_id(signature):
    return struct.pack(">I", zlib.crc32(signature.encode()))


def int_field(value):
    return struct.pack(">i", value)


def string_field(text):
    raw = text.encode()
    return struct.pack(">I", len(raw)) + raw


def buffer_field(raw):
    return struct.pack(">I", len(raw)) + raw


def object_field(body):
    return struct.pack(">I", len(body)) + body


# ---- raw images ----------------------------------------------------------------------

def words(*values):
    """Little-endian 32-bit words: ints as u32, floats as f32."""
    out = b""
    for v in values:
        out += struct.pack("<I", v) if isinstance(v, int) else struct.pack("<f", v)
    return out


def float_track(keys):
    """One track of (life fraction, value) keys."""
    body = struct.pack("<I", len(keys)) + words(0, 0, 0, 0) + struct.pack("<I", 4)
    for t, v in keys:
        body += struct.pack("<ff", t, v)
    return body


def key_buffer(tracks):
    offset = 8 + 4 * len(tracks)
    offsets, blob = [], b""
    for track in tracks:
        offsets.append(offset + len(blob))
        blob += track
    return struct.pack("<If", len(tracks), 0.0) + b"".join(struct.pack("<I", o) for o in offsets) + blob


def modifier(slot, kind, params, keys=b""):
    body = (type_id(MODIFIER) + int_field(slot) + string_field(kind) + int_field(len(params))
            + int_field(0) * 4 + buffer_field(params) + buffer_field(b"") + buffer_field(b"")
            + int_field(1 if keys else 0) + buffer_field(keys))
    return object_field(body)


def particle_file(name, duration, count, textures, modifiers):
    bank = type_id(BANK) + b"".join(int_field(slot) + string_field(tex) for slot, tex in textures)
    return (type_id(PFX) + buffer_field(struct.pack("<fI", duration, count)) + string_field(name)
            + object_field(bank) + int_field(0) + b"".join(modifiers))


# ---- our effects -------------------------------------------------------------------------

SAND = (0.78, 0.68, 0.52)


def spray(count, direction, angles, speeds, lives, counter, rate):
    return words(0, count, ENABLED,
                 0.0, 0.0, 0.02,            # origin, just above the ground
                 *direction,
                 *angles, *speeds, *lives,
                 counter, rate, 0,          # counter start, rate, no maximum
                 0.0, 0,                    # clock, emitted (run-time)
                 0.0, 0.0, 0.0)             # offset (run-time)


def sprite(count, alpha, size, colour=SAND, slot=0, first=0):
    return words(first, count, ENABLED,
                 slot, 0, 0, 1, 1, 0,       # texture slot, blended, not animated
                 0.0, 0.0,                  # frame rate, start time
                 0.5, 0.5,                  # pivot: the quad's centre
                 alpha, size, *colour, 0.0)


def dust_impact():
    n = 24
    return particle_file("dust_impact", 1.5, n, [(0, "pfx_dust.tga")], [
        modifier(0, "SprayGenerator", spray(n, (0.0, 0.0, 1.0), (0.5, 1.3), (0.5, 1.4), (0.5, 1.1),
                                            1, 2000.0)),
        modifier(1, "Physic", words(0, n, ENABLED, 2.0, 3.0, 3.0)),
        modifier(2, "Ground Modifier", words(0, n, ENABLED, 0.15, 0.0, 0.0)),
        modifier(3, "Size over life ", words(0, n, ENABLED, 0.05),
                 key_buffer([float_track([(0.0, 0.05), (0.4, 0.16), (1.0, 0.24)])])),
        modifier(4, "Fade over life", words(0, n, ENABLED, 0.7),
                 key_buffer([float_track([(0.0, 0.7), (0.3, 0.55), (1.0, 0.0)])])),
        modifier(5, "Standard Draw Sprite", sprite(n, 0.7, 0.05)),
    ])


def dust_roll():
    n = 32
    return particle_file("dust_roll", 3600.0, n, [(0, "pfx_dust.tga")], [
        modifier(0, "SprayGenerator", spray(n, (0.0, 0.0, 1.0), (0.2, 0.9), (0.1, 0.35), (0.5, 0.9),
                                            FOREVER, 24.0)),
        modifier(1, "Physic", words(0, n, ENABLED, 0.4, 0.8, 2.0)),
        modifier(2, "Ground Modifier", words(0, n, ENABLED, 0.1, 0.0, 0.0)),
        modifier(3, "Size over life ", words(0, n, ENABLED, 0.04),
                 key_buffer([float_track([(0.0, 0.04), (1.0, 0.12)])])),
        modifier(4, "Fade over life", words(0, n, ENABLED, 0.45),
                 key_buffer([float_track([(0.0, 0.45), (1.0, 0.0)])])),
        modifier(5, "Standard Draw Sprite", sprite(n, 0.45, 0.04)),
    ])


GRAVEL = (0.42, 0.38, 0.33)


def poussiere():
    n = 40
    return particle_file("poussiere", 3600.0, n, [(0, "pfx_dust.tga")], [
        modifier(0, "SprayGenerator", spray(n, (0.0, 0.0, 1.0), (0.2, 1.0), (0.1, 0.4), (0.6, 1.1),
                                            FOREVER, 30.0)),
        modifier(1, "Physic", words(0, n, ENABLED, 0.3, 0.6, 2.0)),
        modifier(2, "Ground Modifier", words(0, n, ENABLED, 0.1, 0.0, 0.0)),
        modifier(3, "Size over life ", words(0, n, ENABLED, 0.04),
                 key_buffer([float_track([(0.0, 0.04), (1.0, 0.14)])])),
        modifier(4, "Fade over life", words(0, n, ENABLED, 0.5),
                 key_buffer([float_track([(0.0, 0.5), (1.0, 0.0)])])),
        modifier(5, "Standard Draw Sprite", sprite(n, 0.5, 0.04)),
    ])


def graviers():
    chips, puffs = 20, 12
    n = chips + puffs
    # One generator fills the pool; the chips (the first records) fall fast and
    # bounce, the puffs behind them stay light and grow.
    # Texture slots are shared by every effect: the dust keeps slot 0, the chip takes 1.
    return particle_file("graviers", 1.5, n, [(0, "pfx_dust.tga"), (1, "pfx_gravel.tga")], [
        modifier(0, "SprayGenerator", spray(n, (0.0, 0.0, 1.0), (0.2, 0.9), (0.8, 1.8), (0.6, 1.2),
                                            1, 3000.0)),
        modifier(1, "Physic", words(0, chips, ENABLED, 9.0, 9.8, 0.5)),
        modifier(2, "Physic", words(chips, n, ENABLED, 1.5, 2.5, 3.0)),
        modifier(3, "Ground Modifier", words(0, n, ENABLED, 0.3, 0.0, 0.0)),
        modifier(4, "Fade over life", words(chips, n, ENABLED, 0.6),
                 key_buffer([float_track([(0.0, 0.6), (1.0, 0.0)])])),
        modifier(5, "Size over life ", words(chips, n, ENABLED, 0.05),
                 key_buffer([float_track([(0.0, 0.05), (1.0, 0.2)])])),
        modifier(6, "Standard Draw Sprite", sprite(chips, 1.0, 0.015, GRAVEL, 1, 0)),
        modifier(7, "Standard Draw Sprite", sprite(n, 0.6, 0.05, SAND, 0, chips)),
    ])


# ---- texture ------------------------------------------------------------------------------

def png(width, height, rgba_rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    raw = b"".join(b"\x00" + row for row in rgba_rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def dust_texture(size=32):
    rows = []
    c = (size - 1) / 2.0
    for y in range(size):
        row = bytearray()
        for x in range(size):
            r = math.hypot(x - c, y - c) / c
            # A soft edge with a little grain so the puff does not look like a disc.
            grain = 0.85 + 0.15 * math.sin(x * 1.7 + y * 2.3) * math.cos(x * 0.9 - y * 1.3)
            a = max(0.0, 1.0 - r) ** 1.6 * grain
            row += bytes((255, 255, 255, min(255, int(a * 255))))
        rows.append(bytes(row))
    return png(size, size, rows)


def gravel_texture(size=16):
    rows = []
    for y in range(size):
        row = bytearray()
        for x in range(size):
            # An irregular chip: a rough polygon with a lighter face.
            dx, dy = x - 7.5, y - 7.5
            r = math.hypot(dx, dy) / (6.5 + 1.2 * math.sin(math.atan2(dy, dx) * 3.0 + 0.7))
            lit = 255 if dx + dy < 0 else 200
            row += bytes((lit, lit, lit, 255 if r < 1.0 else 0))
        rows.append(bytes(row))
    return png(size, size, rows)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "."
    os.makedirs(out, exist_ok=True)
    files = {
        "dust_impact.pfx": dust_impact(),
        "dust_roll.pfx": dust_roll(),
        "pfx_dust.png": dust_texture(),
        "poussiere.pfx": poussiere(),
        "graviers.pfx": graviers(),
        "pfx_gravel.png": gravel_texture(),
    }
    for name, data in files.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
