#!/usr/bin/env python3
"""A text window that records what it receives, the target of the end-to-end tests.

Usage: target_app.py --title TITLE --out PREFIX
Writes PREFIX.txt (the text, rewritten shortly after every change) and appends one JSON
line per key press and per mouse button press to PREFIX.log.
"""
import argparse
import json
import os
import time
import tkinter as tk

parser = argparse.ArgumentParser()
parser.add_argument("--title", required=True)
parser.add_argument("--out", required=True)
parser.add_argument("--geometry", default="500x300+300+200")
parser.add_argument("--quit-on", default="", help="quit once this key has been typed")
args = parser.parse_args()

root = tk.Tk()
root.title(args.title)
root.geometry(args.geometry)
text = tk.Text(root, undo=False)
text.pack(fill="both", expand=True)
text.focus_set()
log = open(args.out + ".log", "a", encoding="utf-8", buffering=1)
pending = [None]


def save():
    pending[0] = None
    tmp = args.out + ".txt.tmp"
    with open(tmp, "w", encoding="utf-8", newline="") as f:
        f.write(text.get("1.0", "end-1c"))
    os.replace(tmp, args.out + ".txt")


def changed(_event=None):
    if pending[0] is None:
        pending[0] = root.after(30, save)


def key(event):
    log.write(json.dumps({"type": "key", "keysym": event.keysym, "char": event.char,
                          "state": event.state, "t": time.monotonic()}) + "\n")
    changed()
    if args.quit_on and event.char == args.quit_on:
        root.after(10, lambda: (save(), root.destroy()))


def button(event):
    log.write(json.dumps({"type": "button", "num": event.num, "x_root": event.x_root,
                          "y_root": event.y_root, "widget": str(event.widget)}) + "\n")


def ready():
    log.write(json.dumps({"type": "ready", "x": root.winfo_rootx(), "y": root.winfo_rooty()})
              + "\n")
    save()


root.bind_all("<KeyPress>", key, add="+")
root.bind_all("<KeyRelease>", changed, add="+")
root.bind_all("<ButtonPress>", button, add="+")
root.bind_all("<<Paste>>", lambda e: root.after(50, changed), add="+")
root.after(200, ready)
root.mainloop()
