#!/usr/bin/env python3
"""Checks that the table of docs/testing.md has a row for every ctest name of the builds
given, and names no test that none of them has.

    tools/check_test_table.py SOURCE_ROOT BUILD_DIR...

A name in the table's first column is written in backticks; one ending in "*" stands for
every name that starts with what comes before it.
"""
import json
import os
import re
import subprocess
import sys


def table_names(root):
    names = []
    with open(os.path.join(root, 'docs', 'testing.md'), encoding='utf-8') as f:
        text = f.read()
    table = text[text.index('| ctest name |'):]
    for line in table.split('\n')[2:]:
        if not line.startswith('|'):
            break
        names += re.findall(r'`([^`]+)`', line.split('|')[1])
    return names


def build_names(directory):
    shown = subprocess.run(['ctest', '--test-dir', directory, '--show-only=json-v1'],
                           check=True, capture_output=True, text=True).stdout
    return [test['name'] for test in json.loads(shown)['tests']]


def covers(row, name):
    return name.startswith(row[:-1]) if row.endswith('*') else row == name


def main():
    root, directories = sys.argv[1], sys.argv[2:]
    rows = table_names(root)
    built = {}
    for directory in directories:
        for name in build_names(directory):
            built.setdefault(name, os.path.basename(directory))
    missing = sorted(n for n in built if not any(covers(r, n) for r in rows))
    stale = [r for r in rows if not any(covers(r, n) for n in built)]
    for name in missing:
        print('docs/testing.md: no row for the test %s (build %s)' % (name, built[name]))
    for row in stale:
        print('docs/testing.md: the row %s names no test of the builds' % row)
    if missing or stale:
        return 1
    print('docs/testing.md names each of the %d tests of %s' %
          (len(built), ', '.join(os.path.basename(d) for d in directories)))
    return 0


if __name__ == '__main__':
    sys.exit(main())
