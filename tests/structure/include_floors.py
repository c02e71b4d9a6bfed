#!/usr/bin/env python3
"""Fails when a file under src/ includes a header of a folder it does not stand on.

The floors are the table under "## Floors" in docs/architecture.md: a folder may include
its own headers and those of the folders it stands on, and theirs in turn. A ui/ sub-folder
may include what its folder may, its folder itself, and the ui/ of those folders; the
entry (the table's last row, app/) may include any ui/. Sub-folders of platform/ (the
backends) count as platform. A folder of src/ that the table leaves out is a fault too.

Usage: include_floors.py SOURCE_DIR    (the project's root: src/ and docs/ below it)
"""
import pathlib
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
ROW = re.compile(r'^\|\s*`([a-z0-9_]+)`\s*\|([^|]*)\|')


def read_floors(doc):
    floors, in_table = {}, False
    for line in doc.read_text(encoding="utf-8").splitlines():
        if line.startswith("## "):
            in_table = line.strip() == "## Floors"
            continue
        m = ROW.match(line) if in_table else None
        if m:
            floors[m.group(1)] = re.findall(r"`([a-z0-9_]+)`", m.group(2))
    return floors


def closure(floors, folder):
    seen, todo = set(), [folder]
    while todo:
        f = todo.pop()
        if f not in seen:
            seen.add(f)
            todo.extend(floors.get(f, []))
    return seen


def folder_of(rel, floors):
    """('access', False) for access/x.h, ('access', True) for access/ui/x.h."""
    parts = rel.split("/")
    if len(parts) < 2 or parts[0] not in floors:
        return None, False
    return parts[0], len(parts) > 2 and parts[1] == "ui"


def main(root):
    root = pathlib.Path(root)
    floors = read_floors(root / "docs" / "architecture.md")
    if not floors:
        print("docs/architecture.md has no table under \"## Floors\"")
        return 1
    top = list(floors)[-1]
    faults = []
    for name, below in floors.items():
        faults += [f"floor {name} stands on {b}, which the table does not list"
                   for b in below if b not in floors]
    src = root / "src"
    faults += [f"src/{d.name}/ is on no floor of docs/architecture.md"
               for d in sorted(src.iterdir()) if d.is_dir() and d.name not in floors]
    may = {f: closure(floors, f) for f in floors}
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp"):
            continue
        rel = path.relative_to(src).as_posix()
        folder, in_ui = folder_of(rel, floors)
        if folder is None:
            continue
        for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            m = INCLUDE.match(line)
            target, target_ui = folder_of(m.group(1), floors) if m else (None, False)
            if target is None:
                continue  # system, Qt and generated headers
            if target not in may[folder] or (target_ui and not in_ui and folder != top):
                faults.append(f"src/{rel}:{number}: {folder}{'/ui' if in_ui else ''} "
                              f"includes {m.group(1)}")
    for f in faults:
        print(f)
    if faults:
        print(f"{len(faults)} faults against the floors of docs/architecture.md")
        return 1
    print(f"{len(floors)} floors, every include runs from the ground up")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else "."))
