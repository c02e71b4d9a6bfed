#!/usr/bin/env python3
"""Keys that always arrive: the key player types into four real clients (Tk, Qt 6, GTK's
mousepad and xterm) under one keyboard layout on a private X server, and every character
must arrive: every printable Windows-1252 character, a Catalan phrase twenty times (a new
process each time, so the keycodes are bound afresh every run), a stretch of 64 distinct
characters that the layout lacks (more than there are empty keycodes), and a kill -9 in
the middle of a long stretch, after which the keyboard still types and the next start puts
the keyboard map back exactly as it was.

Usage: delivery.py BUILD_DIR LAYOUT [CLIENT...]
"""
import glob
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from desktop import TARGETS, Desktop, Failure, notation, wait_for  # noqa: E402

PRINTABLE = "".join(bytes([b]).decode("cp1252") for b in
                    list(range(0x20, 0x7f)) + [b for b in range(0x80, 0x100)
                                               if b not in (0x81, 0x8d, 0x8f, 0x90, 0x9d)])
PHRASE = "Gràcies, adéu, què és això? L'àvia Núria: ÀÉÍÒÚÇÑ, l·l, 5 €."
# Caseless symbols and letters in both cases that none of the layouts has on its first two
# levels: more distinct keysyms than any layout leaves keycodes empty for.
OFF_LAYOUT = "←↑→↓↔∀∂∃∅∇∈∉∏∑√∞∠∧∨∩∪∫≈≠≡≤≥⊂⊃⊕⊗♠" + "αβγδεζηθικλμνξπρ" + "ΑΒΓΔΕΖΗΘΙΚΛΜΝΞΠΡ"
assert len(set(OFF_LAYOUT)) == 64


def check_client(desk, kind, original_map):
    target = TARGETS[kind](desk, "Vexil %s target" % kind)
    typed = ""

    def play(text):
        nonlocal typed
        out = desk.play(target.title, notation(text))
        typed += text
        try:
            target.wait_text(typed)
        except Failure as e:
            raise Failure("%s; the player printed: %s" % (e, out.strip()))

    play(PRINTABLE + "\n")
    for _ in range(20):
        play(PHRASE + "\n")
    play(OFF_LAYOUT + OFF_LAYOUT[::-1] + "\n")
    # A key the user still holds (the switch that chose the area, here Space, whose press
    # the target reads) is typed all the same. Mousepad is read through its own Ctrl+S,
    # which also keeps its title (a modified document's title changes) for the player.
    desk.run(["xset", "r", "off"])
    desk.run(["xdotool", "keydown", "space"])
    try:
        target.text()
        out = desk.play(target.title, notation("a b c\n"))
    finally:
        desk.run(["xdotool", "keyup", "space"])
        desk.run(["xset", "r", "on"])
    typed += " a b c\n"
    try:
        target.wait_text(typed)
    except Failure as e:
        raise Failure("%s, with Space held; the player printed: %s" % (e, out.strip()))
    if desk.keymap() != original_map:
        raise Failure("%s: the keyboard map was not put back after the runs" % kind)

    # kill -9 while a long stretch binds and rebinds keycodes.
    for delay in (0.25, 0.4, 0.6, 0.15):
        p = desk.play(target.title, notation(OFF_LAYOUT * 40), wait=False)
        time.sleep(delay)
        p.kill()
        p.wait()
        if glob.glob(os.path.join(desk.runtime, "vexil", "keymap-*")):
            break
    else:
        raise Failure("%s: no run was killed while keycodes were bound" % kind)
    during = desk.keymap()
    changed = [(a, b) for a, b in zip(original_map.splitlines(), during.splitlines()) if a != b]
    # Only keycodes that were empty were bound: every real key still types what it did.
    for before, _after in changed:
        if before.split("=")[1].strip():
            raise Failure("%s: a real key was rebound: %s" % (kind, before))
    # The next start puts the leftover bindings back, then types as it should.
    before_restart = target.text() or ""
    desk.play(target.title, notation(PHRASE))
    if glob.glob(os.path.join(desk.runtime, "vexil", "keymap-*")):
        raise Failure("%s: the record of the killed run is still there" % kind)
    if desk.keymap() != original_map:
        raise Failure("%s: the keyboard map differs after the restart" % kind)
    got = [None]

    def ends_right():
        got[0] = target.text() or ""
        return got[0].endswith(PHRASE) and len(got[0]) >= len(before_restart) + len(PHRASE)
    try:
        wait_for(ends_right, 5, "")
    except Failure:
        raise Failure("%s: after the restart, expected the text to end with %r: %r"
                      % (kind, PHRASE, got[0][-80:]))


def main():
    if len(sys.argv) < 3:
        print(__doc__)
        return 2
    build, layout = sys.argv[1], sys.argv[2]
    clients = sys.argv[3:] or ["tk", "qt", "gtk", "xterm"]
    desk = Desktop(build, layout)
    try:
        original_map = desk.keymap()
        for kind in clients:
            start = time.monotonic()
            check_client(desk, kind, original_map)
            print("%s/%s: every character arrived (%.1f s)" % (layout, kind,
                                                              time.monotonic() - start))
    except Failure as e:
        print("FAIL: %s (layout %s)" % (e, layout), file=sys.stderr)
        return 1
    finally:
        desk.close()
    print("PASS")
    return 0


if __name__ == "__main__":
    sys.exit(main())
