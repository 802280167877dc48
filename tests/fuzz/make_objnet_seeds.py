#!/usr/bin/env python3
"""Writes the tiny seed corpus of fuzz_objnet into tests/fuzz/corpus/objnet.

Seed layout (see fuzz_objnet.cpp): byte 0 = number of read operations k,
bytes 1..k = the read program (opcode = byte % 24), the rest = a CObjnet
object (type id and integers big-endian, floats little-endian).
Run it again after changing the harness's opcodes; the output is deterministic.
"""
import os
import struct
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "objnet")

BEGIN, BYTE, SHORT, USHORT, INT, ULONG, FLOAT, DOUBLE, STRING, BUFFER = 0, 2, 3, 4, 5, 6, 7, 8, 9, 10
STRING_INTO, BUFFER_INTO, OBJECT, SHARED, INTO, STORAGE, REWIND, MORE, STRINGS = 11, 12, 13, 14, 15, 16, 18, 19, 23


def tid(text):
    return struct.pack(">I", zlib.crc32(text.encode()))


def string(text):
    raw = text.encode()
    return struct.pack(">I", len(raw)) + raw


def obj(body):
    return struct.pack(">I", len(body)) + body


def seed(program, body):
    return bytes([len(program)]) + bytes(program) + body


def main():
    os.makedirs(OUT, exist_ok=True)
    leaf = tid("leaf") + struct.pack("<f", 2.5) + struct.pack(">H", 9)
    mid = tid("mid") + string("mid") + obj(leaf)
    seeds = {
        "ints": seed([BEGIN, BYTE, SHORT, USHORT, INT, ULONG, FLOAT, DOUBLE],
                     tid("ints") + b"\x81" + struct.pack(">hHiI", -2, 65535, 1, 7)
                     + struct.pack("<f", 1.0) + struct.pack("<d", -0.125)),
        "strings": seed([BEGIN, STRING, BUFFER, 11 + 24 * 3, 12 + 24 * 2, STRING],
                        tid("s") + string("hello") + obj(b"\x01\x02\x03") + string("truncated")
                        + obj(b"xyz12") + string("")),
        "nested": seed([BEGIN, INT, OBJECT, BEGIN, STRING, SHARED, BEGIN, FLOAT, USHORT, INT],
                       tid("outer") + struct.pack(">i", 1) + obj(mid) + struct.pack(">i", 3)),
        "into": seed([BEGIN, INTO, REWIND, STORAGE + 24 * 8, MORE],
                     tid("records") + obj(tid("rec") + struct.pack(">i", 10)) * 2),
        "environment": seed([BEGIN, STRINGS],
                            tid("environment") + string("QUICKMATCHPARAMS") + string("NbPlayers")
                            + b"\x01" + struct.pack(">i", 2)),
        "toolong": seed([BEGIN, STRING, REWIND, OBJECT],
                        tid("len") + struct.pack(">I", 0xFFFFFFF0) + b"abcd"),
    }
    for name, data in seeds.items():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
