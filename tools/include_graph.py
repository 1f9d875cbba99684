#!/usr/bin/env python3
"""Prints which folders include headers of which other folders, and checks the layers.

The program's layers, lowest first: services -> frame -> launcher -> app. A folder may
include headers of its own layer and of those below it. Each arrow printed reads
"folder -> folder it includes from (number of include lines)". The exit status is 1 when an
arrow points from a lower layer to a higher one.

    tools/include_graph.py [SOURCE_ROOT]
"""
import os
import re
import sys
from collections import Counter

LAYERS = ["services", "frame", "launcher", "app"]
OTHERS = ["resources", "tests", "bench", "fuzz"]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"/]+)/', re.MULTILINE)
SOURCES = (".c", ".cpp", ".h", ".rc", ".in")


def arrows(root):
    count = Counter()
    for folder in LAYERS + OTHERS:
        for base, _, files in os.walk(os.path.join(root, folder)):
            for name in files:
                if not name.endswith(SOURCES):
                    continue
                with open(os.path.join(base, name), encoding="utf-8", errors="replace") as f:
                    for target in INCLUDE.findall(f.read()):
                        if target != folder and target in LAYERS + OTHERS:
                            count[(folder, target)] += 1
    return count


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    count = arrows(root)
    backwards = []
    for (source, target), lines in sorted(count.items()):
        back = source in LAYERS and (target not in LAYERS or
                                     LAYERS.index(target) > LAYERS.index(source))
        print(f"{source:9} -> {target:9} ({lines}){'   POINTS BACK' if back else ''}")
        if back:
            backwards.append((source, target))
    if backwards:
        print(f"{len(backwards)} arrow(s) point back against the layers "
              + " -> ".join(LAYERS), file=sys.stderr)
        return 1
    print("layers: " + " -> ".join(LAYERS) + "; no arrow points back")
    return 0


if __name__ == "__main__":
    sys.exit(main())
