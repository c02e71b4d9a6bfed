"""A small board for the end-to-end scripts: the board frame and a 2 x 2 grid of level 1
areas, each typing its key (a, b, c, d unless given), written as the editor writes a board.

    grid_board.py FILE [--program NAME] [--sound AREA=FILE] [--keys K1,K2,K3,K4]
AREA counts from 2 (area 1 is the frame)."""
import argparse


def num(v):
    return (" %d" % v) if v >= 0 else ("%d" % v)


def q(s):
    return '"%s"' % s


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("file")
    ap.add_argument("--program", default="")
    ap.add_argument("--sound", action="append", default=[])
    ap.add_argument("--keys", default="a,b,c,d")
    args = ap.parse_args()
    sounds = dict(s.split("=", 1) for s in args.sound)
    keys = args.keys.split(",")
    boxes = [(10, 10, 300, 200), (340, 10, 630, 200), (10, 240, 300, 430), (340, 240, 630, 430)]
    areas = [(0, 0, 640, 445, 0, "", "")] + [
        (*box, 1, sounds.get(str(i + 2), ""), keys[i]) for i, box in enumerate(boxes)]
    lines = [num(2), num(1), "", num(len(areas)), q(args.program), num(0), q(""), q(""), q(""),
             q(""), q(""), num(1), num(0), num(0), num(0), num(0), num(100)]
    for x0, y0, x1, y1, level, sound, key in areas:
        lines += [num(x0), num(y0), num(x1), num(y1), num(level), num(0), q(""), q(sound), q(key),
                  q(""), num(0), num(0)]
    with open(args.file, "w", newline="", encoding="cp1252") as f:
        f.write("\r\n".join(lines) + "\r\n")


main()
