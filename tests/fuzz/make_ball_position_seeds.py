#!/usr/bin/env python3
"""Writes the seed corpus of fuzz_ball_positions into tests/fuzz/corpus/ball_positions.

Each seed is a ball-position body as a thrower's machine sends it after a
throw on the first venue (every ball of the match, as a body must carry;
one_ball_only is the refused exception), for the balls that
fuzz_ball_positions gives the recorder (a singles match: index 0 "cochonnet", 1-3 "boule 1"-"boule 3",
4-6 "boule 7"-"boule 9"): the count word (frames, and the thinning stride
minus one in its high half), then per ball its index, node name, state,
visible and physics flags, final place and one frame per count (visible
byte and place). Integers and lengths big-endian, floats little-endian.
The throws are simple ballistic and rolling paths sampled every 16 ms; the
output is deterministic.
"""
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "ball_positions")
BALLS = ["cochonnet", "boule 1", "boule 2", "boule 3", "boule 7", "boule 8", "boule 9"]
NONE, LAUNCHED, INVALID_TARGET, OUT_OF_PLAY = 0, 1, 2, 3
RADIUS = {"cochonnet": 0.015}
# Where the venue leaves each ball before the match (off the rectangle).
WAITING = {"cochonnet": (3.6, 0.015, 6.0)}
for k, name in enumerate(BALLS[1:4]):
    WAITING[name] = (3.0, 0.0375, 5.0 - 0.3 * k)
for k, name in enumerate(BALLS[4:7]):
    WAITING[name] = (-3.0, 0.0375, 5.0 - 0.3 * k)


def u32(v):
    return struct.pack(">I", v & 0xFFFFFFFF)


def i32(v):
    return struct.pack(">i", v)


def string(text):
    raw = text.encode()
    return u32(len(raw)) + raw


def vec(p):
    return struct.pack("<fff", *p)


def throw(start, end, flight_frames, roll_frames, height=1.2):
    """A ball leaving the hand at `start`, landing a third of the way to `end`
    after a lob of `height`, then rolling to rest at `end`."""
    landing = tuple(s + (e - s) / 3.0 for s, e in zip(start, end))
    frames = []
    for f in range(flight_frames):
        t = (f + 1) / flight_frames
        x = start[0] + (landing[0] - start[0]) * t
        z = start[2] + (landing[2] - start[2]) * t
        y = start[1] + (landing[1] - start[1]) * t + height * 4 * t * (1 - t)
        frames.append((x, y, z))
    for f in range(roll_frames):
        t = 1 - (1 - (f + 1) / roll_frames) ** 2   # slowing down
        frames.append(tuple(l + (e - l) * t for l, e in zip(landing, end)))
    return frames


def block(index, state, visible, physics, final, frames, frame_visible=None):
    out = bytes([index]) + string(BALLS[index]) + i32(state) + i32(visible) + i32(physics) + vec(final)
    for r, p in enumerate(frames):
        v = 1 if frame_visible is None else frame_visible[r]
        out += bytes([v]) + vec(p)
    return out


def still(index, frames, place=None, state=NONE, visible=0):
    """A ball that did not move during the throw (waiting, or at rest)."""
    place = place or WAITING[BALLS[index]]
    return block(index, state, visible, 1 if state == LAUNCHED else 0, place, [place] * frames,
                 [visible] * frames)


def body(frames, blocks, stride=1):
    return u32(frames | ((stride - 1) << 16)) + b"".join(blocks)


def seeds():
    hand = (0.25, 0.9, 6.0)
    target_rest = (0.1, 0.015, -2.0)
    out = {}

    # The target ball thrown; every other ball still waiting.
    path = throw(hand, target_rest, 30, 60, height=1.0)
    n = len(path)
    out["target_ball_throw"] = body(n, [block(0, LAUNCHED, 1, 1, target_rest, path)] +
                                    [still(i, n) for i in range(1, 7)])

    # A pointed ball of the first side stopping short of the target ball.
    rest1 = (-0.2, 0.0375, -1.6)
    path = throw(hand, rest1, 28, 70)
    n = len(path)
    out["first_ball_pointed"] = body(n, [still(0, n, target_rest, LAUNCHED, 1),
                                         block(1, LAUNCHED, 1, 1, rest1, path)] +
                                     [still(i, n) for i in range(2, 7)])

    # A shot of the second side knocking the first side's ball away; the
    # struck ball rolls out of the rectangle and is hidden there.
    shot_rest = (-0.15, 0.0375, -1.75)
    struck_rest = (-2.4, 0.0375, -3.9)
    path = throw((-0.25, 1.1, 6.0), shot_rest, 24, 36, height=2.0)
    n = len(path)
    struck = [rest1] * 24 + [tuple(a + (b - a) * ((f + 1) / 36) for a, b in zip(rest1, struck_rest))
                             for f in range(36)]
    out["shot_knocks_a_ball_out"] = body(n, [still(0, n, target_rest, LAUNCHED, 1),
                                             block(1, OUT_OF_PLAY, 0, 0, struck_rest, struck,
                                                   [1] * (n - 1) + [0]),
                                             still(2, n), still(3, n),
                                             block(4, LAUNCHED, 1, 1, shot_rest, path),
                                             still(5, n), still(6, n)])

    # A long roll thinned to one frame in four, as a sender does for a long throw.
    rest2 = (0.6, 0.0375, -6.9)
    path = throw(hand, rest2, 40, 400)
    thinned = path[3::4]
    n = len(thinned)
    out["long_roll_thinned"] = body(n, [still(0, n, target_rest, LAUNCHED, 1),
                                        still(1, n, struck_rest, OUT_OF_PLAY, 0),
                                        block(2, LAUNCHED, 1, 1, rest2, thinned)] +
                                    [still(i, n) for i in range(3, 7)], stride=4)

    # A target ball thrown too short: the throw does not count.
    short = (0.0, 0.015, 3.5)
    path = throw(hand, short, 12, 20, height=0.6)
    n = len(path)
    out["target_ball_too_short"] = body(n, [block(0, INVALID_TARGET, 1, 1, short, path)] +
                                        [still(i, n) for i in range(1, 7)])

    # A body naming one ball only (as a peer that lost the others would send):
    # refused, for every later body must still carry every ball.
    out["one_ball_only"] = body(1, [block(4, LAUNCHED, 1, 1, shot_rest, [shot_rest])])

    # Only the final state: no room was left for frames.
    out["final_state_only"] = body(0, [still(0, 0, target_rest, LAUNCHED, 1),
                                       still(1, 0, rest1, LAUNCHED, 1)] +
                                   [still(i, 0) for i in range(2, 7)])
    return out


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, data in seeds().items():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
