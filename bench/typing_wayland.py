#!/usr/bin/env python3
"""Typing speed through wlroots' virtual keyboard: 1,000 ASCII characters and 100
Catalan/Spanish characters (accented letters and capitals, "·", "«»", "Ñ", "€") typed into
the Qt recorder (qt-target, a native Wayland client) under a private headless sway, a new
window and a fresh wayland-typing-probe process for every run, under each of the layouts
given. Each run is timed from the call of `send` to the time the recorder logged for the
last key it read, and every character is checked. Each probe first types one character,
so that the first stretch's wait for clients to bind the new keyboard (on a seat that had
none) stays out of the times; that wait is reported apart, with the time the recorder read
the first key and the time `send` returned (medians).

sway refuses to run as root: as root, sway and the recorder run as the user vexil-e2e
(made if absent), as in tests/e2e/wayland_sway.sh.

Usage: bench/typing_wayland.py BUILD_DIR [RUNS] [LAYOUT...]   (medians of RUNS, default 5;
layouts default: us es)
"""
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

from bench_texts import ASCII

# The accented text of the other benchmarks, with "€" in it.
ACCENTED = ("Àvia Núria, què és això? Ça va, Ñandú! L·lí diu: «Sí, és clar»; 5 €, "
            "ÉS ÒPTIM, ÍNTEGRE I ÚNIC. àèéíòóúüçñ")[:100]
assert len(ACCENTED) == 100


def wait_for(check, seconds):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        value = check()
        if value:
            return value
        time.sleep(0.05)
    return None


class Sway:
    def __init__(self, work):
        self.work = work
        self.runtime = os.path.join(work, "runtime")
        self.out = os.path.join(work, "out")
        os.mkdir(self.runtime, 0o700)
        os.mkdir(self.out)
        os.chmod(self.out, 0o777)
        self.run_as = []
        if os.geteuid() == 0:
            if subprocess.run(["id", "-u", "vexil-e2e"], capture_output=True).returncode:
                subprocess.run(["useradd", "--system", "--no-create-home", "--home-dir",
                                "/nonexistent", "--shell", "/usr/sbin/nologin", "vexil-e2e"],
                               check=True)
            uid = subprocess.run(["id", "-u", "vexil-e2e"], capture_output=True, text=True)
            gid = subprocess.run(["id", "-g", "vexil-e2e"], capture_output=True, text=True)
            self.run_as = ["setpriv", "--reuid=" + uid.stdout.strip(),
                           "--regid=" + gid.stdout.strip(), "--clear-groups"]
            os.chown(self.runtime, int(uid.stdout), -1)
            os.chmod(work, 0o755)
        config = os.path.join(work, "sway.config")
        with open(config, "w") as f:
            f.write("xwayland disable\ndefault_border none\noutput * resolution 1024x768\n")
        os.chmod(config, 0o644)
        self.env = {"PATH": "/usr/bin:/bin", "HOME": work, "XDG_RUNTIME_DIR": self.runtime}
        self.log = open(os.path.join(work, "sway.log"), "w")
        self.proc = subprocess.Popen(
            self.run_as + ["sway", "-c", config],
            env=dict(self.env, WLR_BACKENDS="headless", WLR_LIBINPUT_NO_DEVICES="1",
                     WLR_RENDERER="pixman"), stdout=self.log, stderr=subprocess.STDOUT)

        def sockets():
            names = os.listdir(self.runtime)
            wl = [n for n in names if n.startswith("wayland-") and not n.endswith(".lock")]
            ipc = [n for n in names if n.startswith("sway-ipc.")]
            return (wl[0], ipc[0]) if wl and ipc else None
        found = wait_for(sockets, 10)
        if not found:
            sys.exit("sway did not start")
        self.socket, self.ipc = found
        self.target = None

    def msg(self, *args):
        subprocess.run(["swaymsg", "-s", os.path.join(self.runtime, self.ipc)] + list(args),
                       stdout=subprocess.DEVNULL, check=True)

    def start_target(self, qt_target, name):
        self.close_target()
        self.target = subprocess.Popen(
            self.run_as + [qt_target, "--caption", "Bench " + name,
                           "--out", os.path.join(self.out, name)],
            env=dict(self.env, WAYLAND_DISPLAY=self.socket, QT_QPA_PLATFORM="wayland"),
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        log = os.path.join(self.out, name + ".log")
        if not wait_for(lambda: os.path.exists(log) and '"ready"' in open(log).read(), 10):
            sys.exit("the recorder did not start")
        return os.path.join(self.out, name)

    def close_target(self):
        if self.target:
            self.target.terminate()
            self.target.wait()
            self.target = None

    def stop(self):
        self.close_target()
        self.proc.terminate()
        self.proc.wait()


def run_once(sway, build, qt_target, name, text):
    prefix = sway.start_target(qt_target, name)
    files = []
    for i, t in enumerate(["x", text]):
        path = os.path.join(sway.work, "text%d.txt" % i)
        with open(path, "w", encoding="utf-8") as f:
            f.write(t)
        files.append(path)
    out = subprocess.run([os.path.join(build, "bin", "wayland-typing-probe")] + files,
                         env={"WAYLAND_DISPLAY": os.path.join(sway.runtime, sway.socket)},
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    lines = [json.loads(line) for line in out.stdout.decode().splitlines()]
    if len(lines) != 2:
        return None
    warm, probe = lines
    expected = "x" + text
    wait_for(lambda: open(prefix + ".txt", encoding="utf-8").read() == expected, 3)
    got = open(prefix + ".txt", encoding="utf-8").read()
    keys = [json.loads(line) for line in open(prefix + ".log")]
    keys = [k for k in keys if k.get("type") == "key" and k.get("char")]
    last = keys[-1]["t"] if keys else probe["returned"]
    first = keys[1]["t"] if len(keys) > 1 else last
    intact = sum(1 for a, b in zip(got[1:], text) if a == b) if got.startswith("x") else 0
    return {"time": last - probe["start"], "returned": probe["returned"] - probe["start"],
            "first": first - probe["start"],
            "intact": intact, "first_wait": warm["returned"] - warm["start"]}


def main():
    build = os.path.abspath(sys.argv[1])
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    layouts = sys.argv[3:] or ["us", "es"]
    work = tempfile.mkdtemp(prefix="vexil-bench-")
    qt_target = os.path.join(work, "qt-target")
    shutil.copy(os.path.join(build, "bin", "qt-target"), qt_target)
    sway = Sway(work)
    lost = False
    print("| layout | text | intact runs | median time | chars/s | first key read | send returned "
          "| first stretch's wait |")
    print("|---|---|---|---|---|---|---|---|")
    try:
        for layout in layouts:
            sway.msg("input", "*", "xkb_layout", layout)
            for label, text in [("1000 ASCII", ASCII), ("100 accented", ACCENTED)]:
                results = [run_once(sway, build, qt_target,
                                    "%s-%s-%d" % (layout, label.split()[1], i), text)
                           for i in range(runs)]
                results = [r for r in results if r]
                if not results:
                    print("| %s | %s | probe failed |" % (layout, label))
                    lost = True
                    continue
                ok = sum(1 for r in results if r["intact"] == len(text))
                lost = lost or ok < runs
                t = statistics.median(r["time"] for r in results)
                ret = statistics.median(r["returned"] for r in results)
                wait = statistics.median(r["first_wait"] for r in results)
                first = statistics.median(r["first"] for r in results)
                print("| %s | %s | %d/%d (worst %d/%d) | %.3f s | %.0f | %.1f ms | %.1f ms | %.3f s |"
                      % (layout, label, ok, runs, min(r["intact"] for r in results), len(text),
                         t, len(text) / t, first * 1000, ret * 1000, wait))
    finally:
        sway.stop()
        shutil.rmtree(work, ignore_errors=True)
    # A quick run (bench/smoke.sh) fails when a character was lost.
    return 1 if lost and os.environ.get("VEXIL_BENCH_SMOKE") else 0


if __name__ == "__main__":
    sys.exit(main())
