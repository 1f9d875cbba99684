#!/usr/bin/env python3
"""Prints the program's own C and C++ sources (services, frame, launcher, app) that a build
compiles, one path a line, for clang-tidy.

    tools/tidy_sources.py SOURCE_ROOT COMPILE_COMMANDS [--except OTHER_COMPILE_COMMANDS]

With --except, the sources that the other build also compiles are left out: the Windows
build's run then covers only what the portable core's run does not.
"""
import json
import os
import sys

LAYERS = ("services", "frame", "launcher", "app")


def sources(root, commands):
    found = []
    for entry in json.load(open(commands)):
        path = os.path.realpath(os.path.join(entry["directory"], entry["file"]))
        relative = os.path.relpath(path, root)
        if (relative.split(os.sep)[0] in LAYERS and path.endswith((".c", ".cpp"))
                and path not in found):
            found.append(path)
    return found


def main():
    root = os.path.realpath(sys.argv[1])
    listed = sources(root, sys.argv[2])
    if len(sys.argv) > 4 and sys.argv[3] == "--except":
        covered = set(sources(root, sys.argv[4]))
        listed = [path for path in listed if path not in covered]
    for path in listed:
        print(path)
    return 0


if __name__ == "__main__":
    sys.exit(main())
