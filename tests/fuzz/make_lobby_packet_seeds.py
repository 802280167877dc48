#!/usr/bin/env python3
"""Writes the seed corpus of fuzz_lobby_packets into tests/fuzz/corpus/lobby_packets.

Each seed is one nested object as a lobby peer sends it: a game-settings
record, a team record, and packed environment sections (the match parameters,
another section, one cut short). Integers and type ids are big-endian.
Run it again after changing the records; the output is deterministic.
"""
import os
import struct
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "lobby_packets")


def tid(text):
    return struct.pack(">I", zlib.crc32(text.encode()))


def ints(*values):
    return b"".join(struct.pack(">i", v) for v in values)


def string(text):
    raw = text.encode()
    return struct.pack(">I", len(raw)) + raw


def section(name, variables):
    body = tid("environment") + string(name)
    for var, kind, value in variables:
        body += string(var) + bytes([kind])
        if kind == 1:
            body += ints(value)
        elif kind == 2:
            body += struct.pack("<f", value)
        elif kind == 3:
            body += string(value)
    return body


SEEDS = {
    "game_settings": tid("CGameInfosPacketV2") + ints(2, 1, 3),
    "team_record": tid("CTeamInfosPacketV1") + ints(1, 1, 12, 0, 2, -1),
    "team_record_short": tid("CTeamInfosPacketV1") + ints(0, 0, 5),
    "match_params": section("QUICKMATCHPARAMS", [("TeamA", 1, 3), ("Player1Name", 3, "Hote"), ("x", 2, 1.5)]),
    "settings_section": section("SETTINGS", [("SoundVolume", 1, 0)]),
    "match_params_cut": section("QUICKMATCHPARAMS", [("TeamB", 1, 4)])[:-2],
}

os.makedirs(OUT, exist_ok=True)
for name, data in SEEDS.items():
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)
