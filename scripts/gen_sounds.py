#!/usr/bin/env python3
"""Synthesises the game's sounds as PCM wave files (the format the sound
manager reads: a 16-byte "fmt " chunk followed by "data").

    python3 scripts/gen_sounds.py <output folder> [name.wav ...]

Without names every sound below is written. The build runs it into the
staged media; only this generator is kept in the tree.

ZK_MEN_01.wav      menu music: a gentle arpeggio that loops seamlessly
menu_valid.wav     two rising notes
menu_cancel.wav    two falling notes
menu_error.wav     two low buzzes
menu_info.wav      one soft bell note
hit_ground.wav     a dull thud on gravel
hit_ball.wav       the click of steel on steel
hit_wall.wav       a knock on wood
roll_ground.wav    gravel under a rolling ball (looping)
SN_ENT_C_01.wav    applause of a small crowd (stereo)
"""
import math
import os
import random
import struct
import sys
import wave
import zlib

RATE = 22050


def clamp(v):
    return max(-1.0, min(1.0, v))


def write(path, channels, frames):
    """frames: one float in [-1, 1] per channel and frame, interleaved."""
    with wave.open(path, "wb") as out:
        out.setnchannels(channels)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(b"".join(struct.pack("<h", int(round(clamp(v) * 32767))) for v in frames))


def seconds(n):
    return int(n * RATE)


def envelope(i, attack, decay):
    """Linear attack over `attack` samples, exponential decay with time constant `decay` samples."""
    a = min(1.0, i / attack) if attack else 1.0
    return a * math.exp(-i / decay) if decay else a


def fade_edges(samples, n=64):
    """No click at either end."""
    for i in range(min(n, len(samples))):
        g = i / n
        samples[i] *= g
        samples[-1 - i] *= g
    return samples


def tone_sequence(notes, note_len, gain, decay=0.06):
    out = []
    count = seconds(note_len)
    for freq in notes:
        for i in range(count):
            t = i / RATE
            v = math.sin(2 * math.pi * freq * t) + 0.3 * math.sin(4 * math.pi * freq * t)
            out.append(gain * v * envelope(i, 40, seconds(decay)))
    return fade_edges(out)


def menu_music():
    # Four bars of a I-vi-IV-V arpeggio; every note starts and ends at rest,
    # so the loop point is silent on both sides.
    chords = [(261.63, 329.63, 392.00), (220.00, 261.63, 329.63), (174.61, 220.00, 261.63), (196.00, 246.94, 293.66)]
    note = seconds(0.1875)
    out = []
    for bar in range(4):
        chord = chords[bar % 4]
        pattern = [chord[0], chord[1], chord[2], chord[1] * 2, chord[2], chord[1], chord[0] * 2, chord[1]]
        bass = chord[0] / 2
        for k, freq in enumerate(pattern):
            for i in range(note):
                t = i / RATE
                env = envelope(i, 60, seconds(0.12)) * (1.0 - i / note)
                v = 0.28 * math.sin(2 * math.pi * freq * t) * env
                if k % 4 == 0:
                    v += 0.22 * math.sin(2 * math.pi * bass * t) * (1.0 - i / note)
                out.append(v)
    return out


def noise_burst(rng, length, decay, lowpass, gain):
    out, y = [], 0.0
    for i in range(seconds(length)):
        y += lowpass * (rng.uniform(-1, 1) - y)
        out.append(gain * y * envelope(i, 20, seconds(decay)))
    return out


def thud(rng):
    body = [0.7 * math.sin(2 * math.pi * (95 - 30 * i / seconds(0.15)) * i / RATE) * envelope(i, 30, seconds(0.035))
            for i in range(seconds(0.15))]
    grit = noise_burst(rng, 0.15, 0.02, 0.25, 0.5)
    return fade_edges([a + b for a, b in zip(body, grit)])


def click():
    partials = [(2793.0, 0.5), (4137.0, 0.35), (5911.0, 0.25), (8120.0, 0.12)]
    out = []
    for i in range(seconds(0.2)):
        t = i / RATE
        out.append(sum(a * math.sin(2 * math.pi * f * t) for f, a in partials) * envelope(i, 8, seconds(0.03)))
    return fade_edges(out, 16)


def knock(rng):
    out = []
    grit = noise_burst(rng, 0.15, 0.008, 0.5, 0.4)
    for i in range(seconds(0.15)):
        t = i / RATE
        v = 0.6 * math.sin(2 * math.pi * 310 * t) + 0.3 * math.sin(2 * math.pi * 730 * t)
        out.append(v * envelope(i, 10, seconds(0.025)) + grit[i])
    return fade_edges(out, 16)


def rolling(rng):
    # Low-passed noise with a slow flutter; the end is cross-faded into the
    # start so that the loop has no seam.
    n, overlap = seconds(1.0), seconds(0.1)
    raw, y = [], 0.0
    for i in range(n + overlap):
        y += 0.08 * (rng.uniform(-1, 1) - y)
        flutter = 0.75 + 0.25 * math.sin(2 * math.pi * 7 * i / RATE)
        raw.append(1.6 * y * flutter)
    out = raw[:n]
    for i in range(overlap):
        g = i / overlap
        out[i] = out[i] * g + raw[n + i] * (1 - g)
    return out


def applause(rng):
    n = seconds(2.0)
    channels = [[0.0] * n, [0.0] * n]
    for ch in channels:
        for _ in range(260):
            start = int(rng.uniform(0, n - seconds(0.03)))
            gain = rng.uniform(0.15, 0.35)
            for i, v in enumerate(noise_burst(rng, 0.03, 0.006, 0.6, gain)):
                ch[start + i] += v
        for i in range(n):   # swells in, dies away
            ch[i] *= min(1.0, i / seconds(0.3)) * min(1.0, (n - i) / seconds(0.6))
    return [v for frame in zip(*channels) for v in frame]


def buzz():
    out = []
    for pulse in range(2):
        for i in range(seconds(0.11)):
            t = i / RATE
            v = sum(math.sin(2 * math.pi * 196 * k * t) / k for k in (1, 3, 5, 7))
            out.append(0.45 * v * (1.0 - i / seconds(0.11)))
        out.extend([0.0] * seconds(0.04))
    return fade_edges(out)


def sounds():
    """name -> (channels, recipe taking its own random generator)."""
    return {
        "ZK_MEN_01.wav": (1, lambda rng: menu_music()),
        "menu_valid.wav": (1, lambda rng: tone_sequence([880.0, 1318.5], 0.07, 0.45)),
        "menu_cancel.wav": (1, lambda rng: tone_sequence([659.3, 440.0], 0.07, 0.45)),
        "menu_error.wav": (1, lambda rng: buzz()),
        "menu_info.wav": (1, lambda rng: tone_sequence([1046.5], 0.15, 0.4, decay=0.05)),
        "hit_ground.wav": (1, thud),
        "hit_ball.wav": (1, lambda rng: click()),
        "hit_wall.wav": (1, knock),
        "roll_ground.wav": (1, rolling),
        "SN_ENT_C_01.wav": (2, applause),
    }


def main(argv):
    if len(argv) < 2:
        sys.stderr.write(__doc__)
        return 2
    folder = argv[1]
    table = sounds()
    names = argv[2:] or sorted(table)
    unknown = [n for n in names if n not in table]
    if unknown:
        sys.stderr.write("gen_sounds.py: no recipe for %s\n" % ", ".join(unknown))
        return 1
    os.makedirs(folder, exist_ok=True)
    for name in names:
        channels, make = table[name]
        # Seeded by name: a file comes out the same whatever else is asked for.
        rng = random.Random(zlib.crc32(name.encode()))
        write(os.path.join(folder, name), channels, make(rng))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
