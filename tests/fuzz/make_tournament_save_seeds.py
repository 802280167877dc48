#!/usr/bin/env python3
"""Writes the tiny seed corpus of fuzz_tournament_save into
tests/fuzz/corpus/tournament_save.

The harness reads each input as it is and behind the type id of "SaveInfoTag"
(and of "Tournament_SaveStart"), so the seeds are the bytes after a type id:
a whole save record and a tournament object. Integers are big-endian.
The output is deterministic.
"""
import os
import struct
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "tournament_save")


def u32(v):
    return struct.pack(">I", v & 0xFFFFFFFF)


def u16(v):
    return struct.pack(">H", v & 0xFFFF)


def text(s):
    b = s.encode()
    return u32(len(b)) + b


def tournament_body():
    body = u32(1) + u32(77) + u32(3) + u32(2) + u16(1) + u32(2)
    body += u32(1) + u16(0) + u32(20) + u32(21) + u32(-1) + u32(13) + u32(4)
    body += u32(1) + u16(1) + u32(42) + u32(43) + u32(0) + u32(0) + u32(0)
    return body


def record_body():
    info = "Cup_09/12/26_10:5"
    body = u32(len(info)) + text(info)
    body += u32(2) + u32(2) + u32(1) + u32(1) + u32(5) + u32(1)   # difficulty .. team count
    body += u16(7) + u16(3) + u16(4)                              # one team, two actors
    body += u32(0) + u32(3) + text("Ana")                         # one human player
    nested = struct.pack(">I", zlib.crc32(b"Tournament_SaveStart")) + tournament_body()
    return body + u32(len(nested)) + nested


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, data in (("record", record_body()), ("tournament", tournament_body())):
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
