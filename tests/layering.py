#!/usr/bin/env python3
"""Checks the include arrows between the source folders.

Each folder under src/ is a library layer. An include may point only to a
layer listed as allowed for the including file's folder; a new arrow (core
including a widget header, the analyses reading the store) fails here with
the file and the line.
"""
import pathlib
import re
import sys

# Folder of the including file -> folders it may include from.
ALLOWED = {
    "core/history": {"core/history"},
    "core/files": {"core/files"},
    "core/sheet": {"core/sheet", "core/files"},
    "core/store": {"core/store", "core/history", "core/files"},
    "core/analysis": {"core/analysis", "core/history", "core/sheet"},
    "core/prediction": {"core/prediction", "core/history", "core/sheet",
                        "core/files", "core/store"},
    "core/entry": {"core/entry", "core/store", "core/history"},
}
CORE = {"core/" + p for p in ("history", "files", "sheet", "store",
                               "analysis", "prediction", "entry")}
ALLOWED.update({"gui": CORE | {"gui"}, "cli": CORE | {"cli"}})

INCLUDE = re.compile(r'^\s*#\s*include\s+"((?:core/\w+)|gui|cli)/')


def layer(relative):
    parts = relative.parts
    return "/".join(parts[:2]) if parts[0] == "core" else parts[0]


def main(src):
    root = pathlib.Path(src)
    faults = []
    for path in sorted(root.rglob("*")):
        if path.suffix not in (".h", ".cpp"):
            continue
        here = layer(path.relative_to(root))
        allowed = ALLOWED.get(here)
        if allowed is None:
            faults.append(f"{path}: folder {here} has no layer rule")
            continue
        for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            match = INCLUDE.match(line)
            if match and match.group(1) not in allowed:
                faults.append(f"{path}:{number}: {here} includes {match.group(1)}")
    print("\n".join(faults) if faults else "include arrows as allowed")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
