#!/usr/bin/env python3
"""Decides again, from the traces of voice-accuracy, what the recogniser would have taken under
other limits: limits can then be chosen over a grid without running the recogniser again.

  VOICE_ACCURACY_TRACE=1 build/bin/voice-accuracy SET/manifest.tsv 2> NAME.trace
  bench/voice_limits.py [--limits K=V,...] [--grid] [--leave-out WORD,...] NAME.trace...

Each trace names a set (its file name without the last suffix). For each set it prints the
share of labels found and the other words taken, per voice and condition, under the limits
given (those of this build where none are given). It also says how many limits and files of
the trace it computes otherwise than the recogniser did under this build's limits. The trace
rounds its distances, so a few ties may be decided otherwise; a limit computed otherwise
means the limits below are no longer those of voice_model.cpp. With --grid it also prints
the settings of a grid that meet the targets on every set given.

A file counts as found when a sound judged in it is taken for its label, as the recogniser
takes a word split in two; other words are counted per condition of a set.
"""
import argparse
import itertools
import re
import sys

import numpy as np

# The limits of this build (voice/voice_model.cpp): the base of the distance with no room
# heard (quiet, noisy), the base where the takes are heard in the room, the weights of the
# trained spread and of the spread in the room, the worst stretch (with no room heard it
# widens to noisy_stretch in a noisy room), the margin to the next label, and how far apart
# the syllable beats may lie (a sound at `beats` or farther from every take of its label is
# no saying of it; traces without them compare none). A noise 32 dB under the word is quiet,
# 12 dB under it noisy.
BUILD = dict(quiet=0.35, noisy=1.4, room_quiet=0.4, room_noisy=0.2, spread=0.3, room_spread=0.75,
             stretch=0.9, noisy_stretch=1.1, margin=0.75, beats=2.5)
QUIET_DB, NOISY_DB = -32.0, -12.0
MAXIMUM_SPREAD = 1.1
CONDITIONS = ["clean", "40", "white40", "30", "white30", "20", "white20", "10", "white10"]
NOISY = ("10", "white10")  # the conditions held to 90 %; the others to 97 %

HEAD = re.compile(r"/([^/ ]+)/([^/ ]+)\.wav \(label (\d+)\):")
JUDGED = re.compile(r"\[[0-9.]+ s: (\d+) at ([0-9.]+) of ([0-9.]+), stretch ([0-9.]+), "
                    r"next ([0-9.]+|inf), noise ([-0-9.]+), in the room ([0-9.]+), trained ([0-9.]+)"
                    r"(?:, beats ([0-9.]+|inf))?\]")
HEARD = re.compile(r"-> (\d+) heard")


def condition(name):
    for c in CONDITIONS[1:]:
        suffix = c if c.startswith("white") else "snr" + c
        if name.endswith("-" + suffix):
            return c
    return "clean"


class Traces:
    """Every sound judged, one row each, and the file (line) it was judged in."""

    def __init__(self, paths, leave_out):
        files, sounds = [], []
        for path in paths:
            name = path.rsplit("/", 1)[-1].rsplit(".", 1)[0]
            with open(path, encoding="utf-8") as f:
                for line in f:
                    head, heard = HEAD.search(line), HEARD.search(line)
                    if not head or not heard or any(w in head.group(2) for w in leave_out):
                        continue
                    files.append((name, condition(head.group(2)), head.group(1), int(head.group(3)),
                                  int(heard.group(1)) > 0))
                    for j in JUDGED.findall(line):
                        sounds.append((len(files) - 1,) + tuple(float(x or 0) for x in j))
        if not sounds:
            sys.exit("voice_limits: no judged sound in the traces (VOICE_ACCURACY_TRACE=1?)")
        s = np.array(sounds)
        self.files = files
        self.file = s[:, 0].astype(int)
        self.nearest = s[:, 1].astype(int)
        (self.distance, self.threshold, self.stretch, self.next, self.noise, self.room, self.trained,
         self.beats) = s[:, 2:].T
        self.label = np.array([f[3] for f in files])
        self.cells = {}
        self.cell = np.array([self.cells.setdefault((f[0], f[2], f[1]), len(self.cells)) for f in files])
        self.heard = np.array([f[4] for f in files])
        self.loud = np.clip((self.noise - QUIET_DB) / (NOISY_DB - QUIET_DB), 0, 1)

    def limit(self, lim):
        """The distance limit of each sound's nearest label."""
        return np.where(self.room > 0,
                        along(self.loud, lim["room_quiet"], lim["room_noisy"]) + lim["spread"] * self.trained +
                        lim["room_spread"] * np.minimum(self.room, MAXIMUM_SPREAD),
                        along(self.loud, lim["quiet"], lim["noisy"]) + lim["spread"] * self.trained)

    def decide(self, lim):
        """Per file: taken (any label), and taken for its own label."""
        limit = self.limit(lim)
        stretch = np.where(self.room > 0, lim["stretch"], along(self.loud, lim["stretch"], lim["noisy_stretch"]))
        taken = ((self.nearest > 0) & (self.distance <= limit) & (self.stretch <= stretch) &
                 (self.distance <= lim["margin"] * self.next) & (self.beats < lim["beats"]))
        n = len(self.files)
        anything = np.bincount(self.file, weights=taken, minlength=n) > 0
        right = np.bincount(self.file, weights=taken & (self.nearest == self.label[self.file]), minlength=n) > 0
        return anything, right


def along(loud, quiet, noisy):
    return quiet + loud * (noisy - quiet)


def cells(traces, lim):
    """{(set, voice, condition): (share of labels found, other words taken, other words)}."""
    anything, right = traces.decide(lim)
    label = traces.label > 0
    g, n = traces.cell, len(traces.cells)
    labels = np.bincount(g[label], minlength=n)
    found = np.bincount(g[label], weights=right[label], minlength=n) / np.maximum(labels, 1)
    taken = np.bincount(g[~label], weights=anything[~label], minlength=n)
    others = np.bincount(g[~label], minlength=n)
    return {k: (found[i], int(taken[i]), int(others[i])) for k, i in traces.cells.items()}


def report(traces, lim):
    table = cells(traces, lim)
    for name in sorted({k[0] for k in table}):
        conditions = [c for c in CONDITIONS if any(k[0] == name and k[2] == c for k in table)]
        print(f"{name}: found % / other words taken, per condition ({', '.join(conditions)})")
        voices = sorted({k[1] for k in table if k[0] == name})
        for voice in voices:
            row = [table.get((name, voice, c)) for c in conditions]
            print(f"  {voice:8s}" + "".join(f"  {r[0] * 100:5.1f} / {r[1]:<2d}" if r else "  -" for r in row))
    anything, _ = traces.decide(BUILD)
    otherwise = int((anything != traces.heard).sum())
    # The trace rounds to thousandths: each term of a limit is off by 0.0005 at most.
    off = int((np.abs(traces.limit(BUILD) - traces.threshold) > 0.0015).sum())
    print(f"files decided otherwise than the recogniser did: {otherwise} of {len(traces.files)}; "
          f"limits other than the recogniser's: {off} of {len(traces.threshold)} sounds")
    return otherwise, off


def grid(traces, given):
    """Settings meeting the targets on every set: 97 % at 20 dB and quieter, 90 % at 10 dB, per
    voice; at most 1 % of the other words of a condition. Best margin first. The bases and
    the weights are searched; the worst stretch and the margin are those given."""
    found = []
    steps = [x / 20 for x in range(1, 17)]
    for quiet, room_quiet, room_noisy, spread, room_spread in itertools.product(
            [0.2, 0.3, 0.4], steps, steps, [0.2, 0.3, 0.4], [0.5, 0.6, 0.7, 0.75, 0.8, 0.9]):
        lim = dict(given, quiet=quiet, noisy=quiet + given["noisy"] - given["quiet"], room_quiet=room_quiet,
                   room_noisy=room_noisy, spread=spread, room_spread=room_spread)
        table = cells(traces, lim)
        low10 = min(v[0] for k, v in table.items() if k[2] in NOISY)
        low20 = min(v[0] for k, v in table.items() if k[2] not in NOISY)
        others = {}
        for (name, _, cond), (_, taken, n) in table.items():
            t, m = others.get((name, cond), (0, 0))
            others[(name, cond)] = (t + taken, m + n)
        if low10 >= 0.90 and low20 >= 0.97 and all(t <= 0.01 * m for t, m in others.values()):
            found.append((min(low10 - 0.90, low20 - 0.97), low10, low20, lim))
    found.sort(key=lambda f: -f[0])
    print(f"settings meeting every target: {len(found)}")
    for _, low10, low20, lim in found[:5]:
        print(f"  weakest {low10 * 100:.1f} % at 10 dB, {low20 * 100:.1f} % at 20 dB: " +
              ", ".join(f"{k} {v:g}" for k, v in lim.items()))


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    p.add_argument("traces", nargs="+")
    p.add_argument("--limits", default="", help="K=V,... over this build's: " + ", ".join(BUILD))
    p.add_argument("--grid", action="store_true")
    p.add_argument("--leave-out", default="", help="other words left out, e.g. other-tos,other-dios")
    p.add_argument("--check", action="store_true",
                   help="fail when a limit differs from the recogniser's, or over 1 %% of the files "
                        "are decided otherwise than it did")
    a = p.parse_args()
    lim = dict(BUILD)
    for kv in filter(None, a.limits.split(",")):
        k, _, v = kv.partition("=")
        if k not in lim:
            sys.exit(f"voice_limits: no limit {k!r} (limits: {', '.join(BUILD)})")
        lim[k] = float(v)
    traces = Traces(a.traces, [w for w in a.leave_out.split(",") if w])
    otherwise, off = report(traces, lim)
    if a.grid:
        grid(traces, lim)
    if a.check and (off or otherwise > 0.01 * len(traces.files)):
        sys.exit("voice_limits: the limits written here are no longer the recogniser's (voice_model.cpp)")


if __name__ == "__main__":
    main()
