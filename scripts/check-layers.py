#!/usr/bin/env python3
"""Checks that every source file under src/ includes only headers of its own
layer or of the layers below it.

The layers, lowest first: the printing library (src/plotwise, which stands
alone), the platform layers, the shared core, the print engine, the three
subsystems built on it (rtf, spreadsheet, email, which do not reach into each
other), and the shell at the top. Includes are resolved the way the compiler
resolves them, from the include directories of each file's compile command,
so a header is found even when it is named without its folder.

Usage: check-layers.py BUILD_DIR   (the build's compile_commands.json)
Exit status 0 when every include keeps to the order, 1 with one line per
include that does not.
"""

import json
import os
import re
import shlex
import sys

RANKS = {
    "plotwise": 0,
    "platform": 1,
    "core": 2,
    "printengine": 3,
    "rtf": 4,
    "spreadsheet": 4,
    "email": 4,
    "shell": 5,
}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def layer_of(path, src):
    rel = os.path.relpath(path, src)
    if rel.startswith(".."):
        return None
    return rel.split(os.sep, 1)[0]


def allowed(frm, to):
    if frm == to:
        return True
    if frm not in RANKS or to not in RANKS:
        return False
    return RANKS[to] < RANKS[frm]


def include_dirs(entry):
    args = entry.get("arguments") or shlex.split(entry["command"])
    dirs = []
    i = 0
    while i < len(args):
        arg = args[i]
        if arg == "-I" and i + 1 < len(args):
            dirs.append(args[i + 1])
            i += 1
        elif arg.startswith("-I"):
            dirs.append(arg[2:])
        i += 1
    directory = entry.get("directory", ".")
    return [os.path.normpath(os.path.join(directory, d)) for d in dirs]


def resolve(name, quoted, includer, dirs):
    candidates = ([os.path.dirname(includer)] if quoted else []) + dirs
    for d in candidates:
        path = os.path.normpath(os.path.join(d, name))
        if os.path.isfile(path):
            return path
    return None


def main():
    if len(sys.argv) != 2:
        print("usage: check-layers.py BUILD_DIR", file=sys.stderr)
        return 2
    build = sys.argv[1]
    src = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src"))
    try:
        with open(os.path.join(build, "compile_commands.json"), encoding="utf-8") as f:
            entries = json.load(f)
    except (OSError, ValueError) as error:
        print(f"check-layers: cannot read the compile commands of {build}: {error}", file=sys.stderr)
        return 2

    faults = set()
    checked = 0
    for entry in entries:
        file = os.path.normpath(os.path.join(entry.get("directory", "."), entry["file"]))
        if layer_of(file, src) is None:
            continue
        dirs = include_dirs(entry)
        pending, seen = [file], {file}
        while pending:
            current = pending.pop()
            frm = layer_of(current, src)
            with open(current, encoding="utf-8", errors="replace") as f:
                for number, line in enumerate(f, 1):
                    match = INCLUDE.match(line)
                    if not match:
                        continue
                    header = resolve(match.group(2), match.group(1) == '"', current, dirs)
                    if header is None:
                        continue  # a system header
                    to = layer_of(header, src)
                    if to is None:
                        continue
                    checked += 1
                    if not allowed(frm, to):
                        faults.add(f"{os.path.relpath(current, src)}:{number}: {frm} includes "
                                   f"{os.path.relpath(header, src)} of the {to} layer above it")
                    if header not in seen:
                        seen.add(header)
                        pending.append(header)
    for fault in sorted(faults):
        print(fault)
    if checked == 0:
        print("check-layers: no include was checked; is the build's compile_commands.json empty?")
        return 1
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
