#!/usr/bin/env python3
"""Prints which folders include headers of which other folders, and checks the layers.

The program's layers, lowest first: services -> frame -> launcher -> app. A folder may
include headers of its own layer and of those below it. Each arrow printed reads
"folder -> folder it includes from (number of include lines)". Inside each layer, the
modules (a header with the sources of the same name) must not include each other in a
circle either. The exit status is 1 when an arrow points from a lower layer to a higher one
or when modules of a layer form a circle.

    tools/include_graph.py [SOURCE_ROOT]
"""
import os
import re
import sys
from collections import Counter

LAYERS = ["services", "frame", "launcher", "app"]
OTHERS = ["resources", "tests", "bench", "fuzz"]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"/]+)/', re.MULTILINE)
OWN_HEADER = re.compile(r'^\s*#\s*include\s+"([^"/]+)/([^"/]+)\.h"', re.MULTILINE)
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


def module_edges(root, folder):
    """Module -> modules of the same folder whose headers it includes."""
    edges = {}
    for name in sorted(os.listdir(os.path.join(root, folder))):
        stem, extension = os.path.splitext(name)
        if extension not in (".cpp", ".h"):
            continue
        with open(os.path.join(root, folder, name), encoding="utf-8", errors="replace") as f:
            for target_folder, target in OWN_HEADER.findall(f.read()):
                if target_folder == folder and target != stem:
                    edges.setdefault(stem, set()).add(target)
    return edges


def circles(edges):
    """The groups of modules that reach each other (Tarjan's strongly connected components)."""
    index, low, stack, on_stack, found = {}, {}, [], set(), []

    def visit(node):
        index[node] = low[node] = len(index)
        stack.append(node)
        on_stack.add(node)
        for target in sorted(edges.get(node, ())):
            if target not in index:
                visit(target)
                low[node] = min(low[node], low[target])
            elif target in on_stack:
                low[node] = min(low[node], index[target])
        if low[node] == index[node]:
            group = []
            while True:
                member = stack.pop()
                on_stack.discard(member)
                group.append(member)
                if member == node:
                    break
            if len(group) > 1:
                found.append(sorted(group))

    for node in sorted(edges):
        if node not in index:
            visit(node)
    return found


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
    status = 0
    if backwards:
        print(f"{len(backwards)} arrow(s) point back against the layers "
              + " -> ".join(LAYERS), file=sys.stderr)
        status = 1
    else:
        print("layers: " + " -> ".join(LAYERS) + "; no arrow points back")
    for folder in LAYERS:
        for group in circles(module_edges(root, folder)):
            print(f"{folder}: modules include each other in a circle: " + ", ".join(group),
                  file=sys.stderr)
            status = 1
    if status == 0:
        print("modules: no circle inside a layer")
    return status


if __name__ == "__main__":
    sys.exit(main())
