#!/usr/bin/env python3
"""Checks .obz packages and .obf boards against the published rules of the Open Board Format.

Written from the format's documentation, independently of Vexil's own code:
- a board is a JSON object with "format" ("open-board-0.1"), a string "id", a list of
  "buttons" and a "grid" with "rows", "columns" and "order" (rows x columns, null for an
  empty cell); every id is a string;
- buttons, images and sounds have ids unique in their board (images and sounds: unique in
  the package, one id naming one resource);
- every id in the grid's order is a button of the board;
- absolutely positioned buttons have all four of "left", "top", "width", "height", each
  between 0.0 and 1.0, and then every button has them;
- a button's "image_id" / "sound_id" names an image / sound of the board, and each image or
  sound is reachable: inline "data", a "path" present in the package, a "url" or a "symbol";
- a package has "manifest.json" at its root with "format", "root" (present in the package)
  and "paths" with "boards", "images", "sounds" maps whose paths are all present;
- a button's "load_board" "path" names a board in the package;
- "ext_" prefixed names are extensions and are not checked.
And what the format's reference validator (open-aac/obf) takes for an error or a warning:
- the grid has at least one row and one column, holds every button and at least one;
- every button has a "label" and an "image_id"; "action", when present, is taken for a
  list (a string there is an error); "hidden" is a boolean; colours are rgb()/rgba();
- images have whole "width" and "height" and an image/ "content_type"; sounds a whole
  "duration" and an audio/ "content_type";
- a board has "locale", "name" and "description_html";
- names the format does not define, at any level, start with "ext_";
- every file of a package is listed in the manifest's paths.
Prints one line per fault and exits 1 when there is any; 0 and "ok ..." otherwise.
"""
import json
import re
import sys
import zipfile

faults = []


def fault(where, text):
    faults.append(f"{where}: {text}")


def extras(where, obj, known):
    for key in obj:
        if key not in known and not key.startswith("ext_"):
            fault(where, f"{key} is not defined by the format (extensions start with ext_)")


def check_board(where, board, files, image_ids, sound_ids):
    if not isinstance(board, dict):
        fault(where, "not a JSON object")
        return
    if board.get("format") != "open-board-0.1":
        fault(where, f'format is {board.get("format")!r}')
    if not isinstance(board.get("id"), str) or not board.get("id"):
        fault(where, "id missing or not a string")
    buttons = board.get("buttons")
    if not isinstance(buttons, list):
        fault(where, "buttons missing")
        buttons = []
    local_images, local_sounds = {}, {}
    for kind, store, shared in (("images", local_images, image_ids), ("sounds", local_sounds, sound_ids)):
        for item in board.get(kind, []) or []:
            iid = item.get("id")
            if not isinstance(iid, str):
                fault(where, f"{kind} id {iid!r} is not a string")
                continue
            if iid in store:
                fault(where, f"{kind} id {iid} repeats")
            store[iid] = item
            ref = (item.get("data"), item.get("path"), item.get("url"), item.get("symbol"))
            if not any(ref):
                fault(where, f"{kind} {iid} has no data, path, url or symbol")
            if item.get("path") is not None and files is not None and item["path"] not in files:
                fault(where, f"{kind} {iid}: {item['path']} is not in the package")
            if item.get("data") is not None and not str(item["data"]).startswith("data:"):
                fault(where, f"{kind} {iid}: data is not a data URI")
            key = item.get("path") or item.get("data") or item.get("url")
            if iid in shared and shared[iid] != key:
                fault(where, f"{kind} id {iid} names two different resources in the package")
            shared[iid] = key
    for key in ("locale", "name", "description_html"):
        if not board.get(key):
            fault(where, f"{key} missing")
    extras(where, board, ("format", "id", "locale", "url", "data_url", "name", "description_html",
                          "default_layout", "buttons", "images", "sounds", "grid", "license"))
    for item in board.get("images", []) or []:
        if not isinstance(item.get("width"), int) or not isinstance(item.get("height"), int):
            fault(where, f"image {item.get('id')}: width and height must be whole numbers")
        if not str(item.get("content_type", "")).startswith("image/"):
            fault(where, f"image {item.get('id')}: content_type")
        extras(where, item, ("id", "width", "height", "content_type", "data", "url", "symbol", "path",
                             "data_url", "license"))
    for item in board.get("sounds", []) or []:
        if not isinstance(item.get("duration"), int):
            fault(where, f"sound {item.get('id')}: duration must be a whole number")
        if not str(item.get("content_type", "")).startswith("audio/"):
            fault(where, f"sound {item.get('id')}: content_type")
        extras(where, item, ("id", "duration", "content_type", "data", "url", "path", "data_url", "license"))
    for b in buttons:
        if not isinstance(b.get("label"), str):
            fault(where, f"button {b.get('id')}: label missing")
        if "image_id" not in b:
            fault(where, f"button {b.get('id')}: no image_id")
        if "action" in b:
            fault(where, f"button {b.get('id')}: action (the validator wants a list)")
        if "hidden" in b and not isinstance(b["hidden"], bool):
            fault(where, f"button {b.get('id')}: hidden is not a boolean")
        for key in ("background_color", "border_color"):
            if key in b and not re.match(r"^\s*rgba?\(\s*\d+\s*,\s*\d+\s*,\s*\d+\s*(,\s*[01]\.?\d*)?\)", b[key]):
                fault(where, f"button {b.get('id')}: {key} {b[key]!r}")
        extras(where, b, ("id", "label", "vocalization", "image_id", "sound_id", "hidden", "background_color",
                          "border_color", "action", "actions", "load_board", "top", "left", "width", "height"))
    ids = set()
    positioned = 0
    for b in buttons:
        bid = b.get("id")
        if not isinstance(bid, str) or not bid:
            fault(where, f"button id {bid!r} is not a string")
            continue
        if bid in ids:
            fault(where, f"button id {bid} repeats")
        ids.add(bid)
        keys = [k for k in ("left", "top", "width", "height") if k in b]
        if keys:
            positioned += 1
            if len(keys) != 4:
                fault(where, f"button {bid} has only {keys} of left/top/width/height")
            for k in keys:
                v = b[k]
                if not isinstance(v, (int, float)) or not 0.0 <= v <= 1.0:
                    fault(where, f"button {bid}: {k} = {v!r} is not between 0 and 1")
        if "image_id" in b and b["image_id"] not in local_images:
            fault(where, f"button {bid}: image {b['image_id']} is not in the board's images")
        if "sound_id" in b and b["sound_id"] not in local_sounds:
            fault(where, f"button {bid}: sound {b['sound_id']} is not in the board's sounds")
        link = b.get("load_board")
        if link is not None:
            if not isinstance(link, dict):
                fault(where, f"button {bid}: load_board is not an object")
            elif files is not None and link.get("path") and link["path"] not in files:
                fault(where, f"button {bid}: load_board path {link['path']} is not in the package")
    if positioned and positioned != len(buttons):
        fault(where, "some buttons are positioned absolutely and some are not")
    grid = board.get("grid")
    if not isinstance(grid, dict):
        fault(where, "grid missing")
        return
    rows, columns, order = grid.get("rows"), grid.get("columns"), grid.get("order")
    if not isinstance(rows, int) or not isinstance(columns, int) or not isinstance(order, list):
        fault(where, "grid needs rows, columns and order")
        return
    if rows < 1 or columns < 1:
        fault(where, f"grid of {rows} x {columns}: rows and columns must be positive")
    extras(where, grid, ("rows", "columns", "order"))
    on_grid = set()
    if len(order) != rows:
        fault(where, f"grid has {len(order)} rows in order, {rows} declared")
    for r, row in enumerate(order):
        if not isinstance(row, list) or len(row) != columns:
            fault(where, f"grid row {r} does not hold {columns} cells")
            continue
        for cell in row:
            if cell is not None and cell not in ids:
                fault(where, f"grid cell {cell!r} is not a button")
            on_grid.add(cell)
    on_grid.discard(None)
    if not on_grid:
        fault(where, "no button on the grid")
    if ids - on_grid:
        fault(where, f"buttons left out of the grid: {sorted(ids - on_grid)}")


def check_package(path):
    with zipfile.ZipFile(path) as z:
        names = set(z.namelist())
        for n in names:
            if n.startswith("/") or ".." in n.split("/") or "\\" in n:
                fault(path, f"entry {n} is not a plain relative name")
        if "manifest.json" not in names:
            fault(path, "manifest.json missing")
            return 0
        manifest = json.loads(z.read("manifest.json"))
        if manifest.get("format") != "open-board-0.1":
            fault("manifest.json", f'format is {manifest.get("format")!r}')
        if manifest.get("root") not in names:
            fault("manifest.json", f"root {manifest.get('root')} is not in the package")
        extras("manifest.json", manifest, ("format", "root", "paths"))
        paths = manifest.get("paths", {})
        extras("manifest.json paths", paths, ("boards", "images", "sounds"))
        listed = {"manifest.json"} | {p for kind in ("boards", "images", "sounds")
                                      for p in (paths.get(kind) or {}).values()}
        for n in names:
            if not n.endswith("/") and n not in listed:
                fault(path, f"the file {n} is not listed in manifest.json")
        for kind in ("boards", "images", "sounds"):
            if not isinstance(paths.get(kind), dict):
                fault("manifest.json", f"paths.{kind} missing")
                continue
            for iid, p in paths[kind].items():
                if p not in names:
                    fault("manifest.json", f"{kind} {iid}: {p} is not in the package")
        image_ids, sound_ids, board_ids = {}, {}, set()
        for bid, p in paths.get("boards", {}).items():
            if p not in names:
                continue
            board = json.loads(z.read(p))
            if board.get("id") != bid:
                fault(p, f"id {board.get('id')!r} differs from the manifest's {bid!r}")
            if bid in board_ids:
                fault(p, f"board id {bid} repeats")
            board_ids.add(bid)
            check_board(p, board, names, image_ids, sound_ids)
        for kind, ids in (("images", image_ids), ("sounds", sound_ids)):
            for iid in ids:
                if iid not in paths.get(kind, {}):
                    fault("manifest.json", f"{kind} {iid} is not listed in paths")
        return len(board_ids)


def main():
    if len(sys.argv) < 2:
        print("usage: check_obf.py FILE.obz|FILE.obf ...", file=sys.stderr)
        return 2
    for path in sys.argv[1:]:
        if zipfile.is_zipfile(path):
            n = check_package(path)
        else:
            with open(path, encoding="utf-8") as f:
                check_board(path, json.load(f), None, {}, {})
            n = 1
        if not faults:
            print(f"ok {path}: {n} board(s)")
    for f in faults:
        print(f)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
