#!/usr/bin/env python3
"""Writes the hand-made seeds of fuzz_editor and fuzz_user_profile into tests/fuzz/corpus/.
The editor's input is two bytes (low first) giving the board's length, the board file, then
operations: one byte choosing the operation (its value modulo 21, as fuzz_editor.cpp lists
them) and the bytes it reads. Run from anywhere; it only writes the seeds below."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def board(areas, auto_cover=0):
    def i(v):
        return (" %d" % v) if v >= 0 else ("%d" % v)

    def q(t):
        return '"' + t + '"'

    lines = [i(2), i(1), "", i(len(areas)), q(""), i(0), q(""), q(""), q(""), q(""), q("Seed"),
             i(1), i(0), i(auto_cover), i(0), i(0), i(100)]
    for (x0, y0, x1, y1, level, keys, icon, group) in areas:
        lines += [i(x0), i(y0), i(x1), i(y1), i(level), i(0), q(""), q(""), q(keys), q(icon),
                  i(0), i(group)]
    return ("\r\n".join(lines) + "\r\n").encode("cp1252")


def word(v):
    return struct.pack("<H", v & 0xFFFF)


def coord(v):
    # ByteReader.below(720) - 40, then a quarter-unit byte.
    return word(v + 40) + b"\x00"


def op(code, *payload):
    return bytes([code]) + b"".join(payload)


GRID = board([(0, 0, 640, 445, 0, "", "", -1),
              (0, 0, 320, 222, 1, "hola", "", 0),
              (320, 0, 640, 222, 1, "{ENTER}", "CARA.BMP", 0),
              (0, 222, 320, 445, 1, "{|RM}", "", -1),
              (0, 222, 160, 445, 4, "a", "", 0),
              (320, 222, 640, 445, 1, "adeu", "", 0)])
COVERED = board([(0, 0, 640, 445, 0, "", "", -1),
                 (10, 10, 300, 200, 1, "text llarg per a la caratula", "", 0),
                 (300, 10, 630, 200, 1, "b", "", 0)], auto_cover=-1)


def editor_seed(board_bytes, ops):
    return word(len(board_bytes)) + board_bytes + b"".join(ops)


EDITOR = {
    # An empty board: the first area drawn, then more inside it, undone and done again.
    "draw_new": editor_seed(b"", [op(1, coord(20), coord(20), coord(600), coord(400)),
                                  op(3), op(1, coord(50), coord(50), coord(300), coord(200)),
                                  op(5, b"\x01"), op(6), op(5, b"\x00")]),
    # Clicks, a Ctrl+click group, delete, undo right after the edits.
    "group_delete": editor_seed(GRID, [op(0, coord(100), coord(100), b"\x00"),
                                       op(0, coord(400), coord(100), b"\x02"),
                                       op(0, coord(400), coord(300), b"\x02"),
                                       op(0, coord(100), coord(100), b"\x00"),
                                       op(19, b"\x00"), op(4), op(5, b"\x01")]),
    # The layout tools and the scroll bars on an area of a group.
    "layout": editor_seed(GRID, [op(0, coord(50), coord(300), b"\x00"), op(19, b"\x01"),
                                 op(19, b"\x02", b"\x31", b"\x4a"), op(9, b"\x03", b"\x02"),
                                 op(10, b"\x01", word(500)), op(17, b"\x02", b"\x03", b"123"),
                                 op(7), op(8, b"\x02", b"50", b"\x03", b"abc")]),
    # The panel: keys typed, copied and pasted, the other fields, next and previous.
    "panel": editor_seed(GRID, [op(15, word(2)), op(11, b"\x08", b"ab{|RM}c"),
                                op(13, word(1), word(4)), op(14, word(0), word(0)),
                                op(18, b"\x00", b"\x05", b"X.BMP"), op(18, b"\x03", b"\x01"),
                                op(12, b"\x01"), op(12, b"\x00"), op(16, b"\x01")]),
    # The automatic cover: a click redraws the area; the whole cover written.
    "cover": editor_seed(COVERED, [op(0, coord(100), coord(100), b"\x00"),
                                   op(0, coord(400), coord(100), b"\x00"), op(20)]),
}

PROFILE = {
    "adaptacio.usr": b"[Vexil]\r\nInterval= 500\r\nSo=Si\r\nmodus= 4\r\ntemps= 12\r\n"
                     b"accio1= 2\r\nvariable1=\" a \"\r\n\r\n[Adaptacio]\r\nAcceptacio=300\r\n"
                     b"TempsMort=200\r\nMantenirPerEscanejar=0\r\nPrimerElement=500\r\nVoltes=3\r\n"
                     b"GuiaAuditiva=1\r\nGuiaEspera=1\r\nPermanencia=800\r\nPermanenciaRadi=12\r\n"
                     b"RegistreUs=0\r\n",
    "unknown.usr": b"; a comment\r\n[Altres]\r\nclau=valor\r\n[Vexil]\r\nmodus=1\r\nnou=x\r\n"
                   b"color=65280\r\nvariable2=\xe0\xe7\r\n[VEXIL]\r\nmodus=3\r\n[Adaptacio]\r\n"
                   b"Acceptacio=-5\r\nVoltes=text\r\n",
    "lf_only.usr": b"[Vexil]\nInterval=50\nSo='No'\ngruix=0\nn_joystic=2\njoystic_sensi=0\n"
                   b"retard1=70000\ncolor=1.5e3",
}


def write(folder, name, data):
    path = os.path.join(HERE, "corpus", folder, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


for name, data in EDITOR.items():
    write("fuzz_editor", name, data)
for name, data in PROFILE.items():
    write("fuzz_user_profile", name, data)
write("fuzz_user_profile", "profile.usr",
      open(os.path.join(HERE, "corpus", "fuzz_ini", "profile.usr"), "rb").read())
