#!/usr/bin/env python3
"""Writes the tiny seed corpus of fuzz_net_message into tests/fuzz/corpus/net_message.

Seed layout (see fuzz_net_message.cpp): byte 0 = mode (bit 0 host, bit 1 TCP
stream, bit 2 UDP datagram), the rest = one message, a framed stream or a
datagram (type id, integers and lengths big-endian, floats little-endian).
The output is deterministic.
"""
import os
import struct
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "net_message")
HOST, STREAM, UDP = 1, 2, 4


def tid(text):
    return struct.pack(">I", zlib.crc32(text.encode()))


def string(text):
    raw = text.encode()
    return struct.pack(">I", len(raw)) + raw


def obj(body):
    return struct.pack(">I", len(body)) + body


def u32(v):
    return struct.pack(">I", v & 0xFFFFFFFF)


def frame(body):
    return struct.pack(">I", len(body)) + body


def client_record(name, ident, team):
    return tid("CNetClient::CNetClient()") + string(name) + u32(ident) + u32(team)


def game_desc(name, count, maximum):
    return tid("CNetGameDesc::CNetGameDesc()") + string(name) + struct.pack(">HH", count, maximum)


CHAT = "CNetClient::e_chat_message(int idsender,string message)"
LOGIN_ANSWER = "CNetClient::a_query_login(int index, object gamedesc,object client[])"
SHOOT_OPTIONS = ("CNetClient::e_shoot_options2(float angle,float anglemin,float anglemax,int playeridx, "
                 "int playerpos,int balleffect)")


def main():
    os.makedirs(OUT, exist_ok=True)
    chat = tid(CHAT) + u32(1) + string("Salut")
    login = tid("CNetClient::r_query_login(string name_in)") + string("Bob")
    update = tid("CNetClient::e_update_player(int index, object client)") + u32(1) + obj(client_record("Bob", 1, 0))
    custom = tid("CNetClient::e_custom_object(int sender,object customobj)") + u32(1) + obj(tid("CGameInfosPacketV2") + u32(3))
    options = (tid(SHOOT_OPTIONS) + u32(1) + u32(8) + struct.pack("<f", 42.0) + u32(1) + u32(0) + u32(3)
               + struct.pack("<fff", 0.5, 0.0, -7.0) + u32(0) + u32(0) + u32(2))
    answer = (tid(LOGIN_ANSWER) + u32(2) + obj(game_desc("Partie", 2, 6))
              + obj(client_record("Partie", 0, -1)) + obj(client_record("One", 1, 0)) + obj(client_record("Me", 2, 1)))
    new_player = tid("CNetClient::a_new_player(int index, object client)") + u32(3) + obj(client_record("Neo", 3, 0))
    leave = tid("CNetClient::a_leave_player(int index)") + u32(1)
    start = tid("CNetClient::e_host_start_game(object gameparams)") + obj(tid("environment") + string("QUICKMATCHPARAMS"))
    balls = tid("CNetClient::e_balls_positions(vector3* balls)") + u32(2) + u32(9) + u32(0)
    seeds = {
        "host_chat": bytes([HOST]) + chat,
        "host_login": bytes([HOST]) + login,
        "host_update": bytes([HOST]) + update,
        "host_custom": bytes([HOST]) + custom,
        "host_options": bytes([HOST]) + options,
        "host_stream": bytes([HOST | STREAM]) + frame(login) + frame(chat) + frame(options),
        "client_answer": bytes([0]) + answer,
        "client_new_player": bytes([0]) + new_player,
        "client_leave": bytes([0]) + leave,
        "client_start": bytes([0]) + start,
        "client_stream": bytes([STREAM]) + frame(answer) + frame(balls) + struct.pack(">I", 0),
        "udp_request": bytes([HOST | UDP]) + tid("CNetClient::r_query_gamelist()"),
        "udp_answer": bytes([UDP]) + tid("CNetClient::a_query_gamelist(object gamedesc)") + obj(game_desc("Partie", 2, 6)),
    }
    for name, data in seeds.items():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
