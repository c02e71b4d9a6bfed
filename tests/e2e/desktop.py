"""A private X desktop for the end-to-end tests and the typing benchmark written in Python:
Xvfb on a display it finds free itself, openbox, a keyboard layout, and the four kinds of
target window (Tk, Qt, GTK, xterm) that record what they receive. Only the processes
started here are ended.
"""
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time

E2E_DIR = os.path.dirname(os.path.abspath(__file__))


class Failure(Exception):
    pass


def wait_for(check, seconds, what):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if check():
            return
        time.sleep(0.05)
    raise Failure(what)


class Desktop:
    def __init__(self, build, layout="us"):
        self.build = os.path.abspath(build)
        self.tool = os.path.join(self.build, "bin", "vexil-tool")
        self.work = tempfile.mkdtemp(prefix="vexil-e2e.")
        self.procs = []
        self.env = dict(os.environ)
        # The program's record of bound keycodes goes to a runtime folder of this run.
        runtime = os.path.join(self.work, "runtime")
        os.mkdir(runtime, 0o700)
        self.runtime = runtime
        self.env.update({"XDG_RUNTIME_DIR": runtime, "LC_ALL": "C.UTF-8", "LANG": "C.UTF-8",
                         "NO_AT_BRIDGE": "1", "XDG_CONFIG_HOME": os.path.join(self.work, "config")})
        self.env.pop("WAYLAND_DISPLAY", None)
        self._start_x()
        self.setxkbmap(layout)

    def _spawn(self, args, **kw):
        p = subprocess.Popen(args, env=self.env, stdin=subprocess.DEVNULL, **kw)
        self.procs.append(p)
        return p

    def _start_x(self):
        r, w = os.pipe()
        log = open(os.path.join(self.work, "xvfb.log"), "w")
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(w), "-screen", "0", "1280x1024x24",
                                 "-nolisten", "tcp", "-noreset"], pass_fds=(w,),
                                stdout=log, stderr=log)
        self.procs.append(xvfb)
        os.close(w)
        number = b""
        end = time.monotonic() + 10
        while not number.endswith(b"\n") and time.monotonic() < end:
            chunk = os.read(r, 16)
            if not chunk:
                break
            number += chunk
        os.close(r)
        if not number.strip():
            raise Failure("Xvfb did not start")
        self.env["DISPLAY"] = ":" + number.decode().strip()
        wm_log = open(os.path.join(self.work, "openbox.log"), "w")
        self._spawn(["openbox", "--sm-disable"], stdout=wm_log, stderr=wm_log)
        wait_for(lambda: b"window id" in self.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"]),
                 15, "openbox did not start")

    def run(self, args, check=False):
        r = subprocess.run(args, env=self.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        if check and r.returncode != 0:
            raise Failure("%s exited with %d" % (args[0], r.returncode))
        return r.stdout

    def setxkbmap(self, layout):
        self.run(["setxkbmap", layout], check=True)

    def keymap(self):
        """The core keyboard map as xmodmap prints it."""
        return self.run(["xmodmap", "-pke"]).decode()

    def play(self, title, sequence, wait=True):
        args = [self.tool, "play", "--real", "--window", title, sequence]
        if not wait:
            return self._spawn(args, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        r = subprocess.run(args, env=self.env, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        if r.returncode > 1:
            raise Failure("vexil-tool play exited with %d: %s" % (r.returncode, r.stderr.decode()))
        return r.stdout.decode()

    def close(self):
        for p in reversed(self.procs):
            if p.poll() is None:
                p.terminate()
        for p in reversed(self.procs):
            try:
                p.wait(5)
            except subprocess.TimeoutExpired:
                p.kill()
                p.wait()
        # A GTK target starts the desktop's document portal, which mounts its files in the
        # runtime folder: unmounted, its helper (fusermount3) ends instead of staying behind.
        doc = os.path.join(self.runtime, "doc")
        if os.path.ismount(doc):
            subprocess.run(["fusermount3", "-u", "-z", doc], stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
        if not os.environ.get("KEEP_WORK"):
            shutil.rmtree(self.work, ignore_errors=True)


class Target:
    """A window that records its text; `text()` gives what it holds now."""

    kind = ""

    def __init__(self, desktop, title):
        self.desktop = desktop
        self.title = title
        self.prefix = os.path.join(desktop.work, title.replace(" ", "_"))

    def activate(self):
        self.desktop.run(["xdotool", "search", "--name", "^%s$" % re.escape(self.title),
                          "windowactivate", "--sync"])

    def wait_text(self, expected, seconds=5):
        got = [None]

        def same():
            got[0] = self.text()
            return got[0] == expected
        try:
            wait_for(same, seconds, "")
        except Failure:
            raise Failure("%s: expected %r, received %r" % (self.kind, expected, got[0]))

    def _wait_window(self):
        """Waits until the window manager lists the window, then makes it active."""
        def managed():
            ids = self.desktop.run(["xdotool", "search", "--name",
                                    "^%s$" % re.escape(self.title)]).split()
            listed = self.desktop.run(["xprop", "-root", "_NET_CLIENT_LIST"]).decode()
            return any(hex(int(i)) in listed for i in ids)
        wait_for(managed, 15, "%s window '%s' did not appear" % (self.kind, self.title))
        self.activate()


class _FileTarget(Target):
    def text(self):
        try:
            with open(self.prefix + ".txt", encoding="utf-8", newline="") as f:
                return f.read()
        except OSError:
            return None

    def _wait_ready(self):
        wait_for(lambda: os.path.exists(self.prefix + ".log") and
                 '"ready"' in open(self.prefix + ".log", encoding="utf-8").read(),
                 15, "%s window '%s' did not appear" % (self.kind, self.title))
        self._wait_window()

    def key_times(self):
        """The times (CLOCK_MONOTONIC) at which the window read each key press."""
        import json
        out = []
        with open(self.prefix + ".log", encoding="utf-8") as f:
            for line in f:
                event = json.loads(line)
                if event.get("type") == "key" and "t" in event:
                    out.append(event["t"])
        return out


class TkTarget(_FileTarget):
    kind = "Tk"

    def __init__(self, desktop, title):
        super().__init__(desktop, title)
        desktop._spawn(["python3", os.path.join(E2E_DIR, "target_app.py"), "--title", title,
                        "--out", self.prefix], stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        self._wait_ready()


class QtTarget(_FileTarget):
    kind = "Qt"

    def __init__(self, desktop, title):
        super().__init__(desktop, title)
        desktop._spawn([os.path.join(desktop.build, "bin", "qt-target"), "--caption", title,
                        "--out", self.prefix], stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        self._wait_ready()


class GtkTarget(Target):
    """Mousepad on a file of its own; the text is what it saves on Ctrl+S."""

    kind = "GTK"

    def __init__(self, desktop, title):
        super().__init__(desktop, title)
        self.file = self.prefix + ".txt"
        open(self.file, "w").close()
        # Mousepad names its window after the file's full path.
        self.title = self.file + " - Mousepad"
        desktop._spawn(["dbus-run-session", "--", "mousepad", "--disable-server", self.file]
                       if shutil.which("dbus-run-session") else ["mousepad", self.file],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self._wait_window()

    def text(self):
        self.desktop.run(["xdotool", "key", "--clearmodifiers", "ctrl+s"])
        time.sleep(0.15)
        with open(self.file, encoding="utf-8", newline="") as f:
            return f.read()


class XtermTarget(Target):
    """xterm running cat into a file, the terminal's line editing off."""

    kind = "xterm"

    def __init__(self, desktop, title):
        super().__init__(desktop, title)
        self.file = self.prefix + ".txt"
        desktop._spawn(["xterm", "-u8", "-T", title, "-e", "sh", "-c",
                        'stty -icanon -echo; exec cat > "$0"', self.file],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self._wait_window()
        wait_for(lambda: os.path.exists(self.file), 10, "xterm did not start cat")

    def text(self):
        with open(self.file, encoding="utf-8", errors="replace", newline="") as f:
            return f.read()


TARGETS = {"tk": TkTarget, "qt": QtTarget, "gtk": GtkTarget, "xterm": XtermTarget}


def notation(text):
    """`text` in the keystroke notation: the notation's own characters in braces."""
    return "".join("{%s}" % c if c in "+^%~(){}" else ("~" if c == "\n" else c) for c in text)
