#!/usr/bin/env python3
"""Checks the places that spell out the launcher window's lists on their own against the
window's one source, resources/LauncherWindow.json, and names every place that differs.

    tools/check_window_copies.py SOURCE_ROOT

The program, LauncherTemplate.h and the tests that read it follow the description by
themselves. These places are written by hand on purpose (what the user must see, a window
built without the template, the players' guide, real keystrokes), so a change of a list
(an entry added, such as a resolution) changes them too; this check lists each one still to
change, with its line and what it should say, and exits non-zero while any is left:

    tests/e2e/ProgramWindowTest.cpp   the lists' entries and item values; the load case past
                                      the end of every list
    bench/startup/HandBuiltWindow.c   the lists' entries, item values and counts
    docs/使用说明.txt                  the lists' entries
    tests/e2e/xdotool_test.sh         End picks the last resolution: its text, stored index
                                      and size in config.ini
    README.md                         the screenshot's text names that resolution
"""
import json
import os
import re
import sys

LISTS = {  # symbol in the description: what the places call it
    'weaponList': ('kWeaponList', '副武器选择', 'weapons', 'weaponValues'),
    'attributeList': ('kAttributeList', '副武器属性', 'attributes', 'attributeValues'),
    'resolutionList': ('kResolutionList', '分辨率选择', 'resolutions', None),
}


class Window:
    def __init__(self, root):
        with open(os.path.join(root, 'resources', 'LauncherWindow.json'), encoding='utf-8') as f:
            units = json.load(f)['windows'][0]['units']
        self.lists = {}
        self.sizes = None
        for unit in units:
            if unit['symbol'] in LISTS:
                block = unit['block']
                entries = [e[0] for e in block['entries']]
                values = [int(e[1]) if len(e) > 1 else 0 for e in block['entries']]
                self.lists[unit['symbol']] = (entries, values)
                if 'sizes' in block:
                    self.sizes = [tuple(s) for s in block['sizes']]


class Places:
    def __init__(self, root):
        self.root = root
        self.faults = []

    def read(self, relative):
        with open(os.path.join(self.root, relative), encoding='utf-8') as f:
            return f.read()

    def fault(self, relative, text, at, message):
        line = text.count('\n', 0, at) + 1 if at is not None else 0
        self.faults.append('%s:%d: %s' % (relative, line, message))


def wide_texts(text):
    return re.findall(r'L"([^"]*)"', text)


def numbers(text):
    return [int(n) for n in re.findall(r'-?\d+', text)]


def check_program_window_test(window, places):
    relative = 'tests/e2e/ProgramWindowTest.cpp'
    text = places.read(relative)
    for symbol, (constant, key, _, _) in LISTS.items():
        entries, values = window.lists[symbol]
        found = re.search(r'\{\s*%s,\s*\{([^{}]*)\},\s*\{([^{}]*)\}\s*\}' % constant, text)
        if not found:
            places.fault(relative, text, None, 'no list case for %s (%s)' % (constant, key))
            continue
        if wide_texts(found.group(1)) != entries:
            places.fault(relative, text, found.start(),
                         '%s spells out the entries %s; the window has %s'
                         % (constant, wide_texts(found.group(1)), entries))
        if numbers(found.group(2)) != values:
            places.fault(relative, text, found.start(),
                         '%s spells out the item values %s; the window has %s'
                         % (constant, numbers(found.group(2)), values))
    # The load case past the end of every list: each stored index lies past its list's end
    # and the window shows the list's last entry.
    found = re.search(r'\{"(past the end[^"]*)",\s*\{([^{}]*)\},\s*(-?\d+),\s*(-?\d+),\s*(-?\d+),',
                      text)
    if not found:
        places.fault(relative, text, None, 'no load case "past the end"')
        return
    stored = dict(re.findall(r'L"([^"=]+)=(-?\d+)"', found.group(2)))
    shown = [int(found.group(n)) for n in (3, 4, 5)]
    for (symbol, (_, key, _, _)), expected in zip(LISTS.items(), shown):
        count = len(window.lists[symbol][0])
        if key not in stored or int(stored[key]) < count:
            places.fault(relative, text, found.start(),
                         'the load case "%s" stores %s=%s, not past the end of its %d entries'
                         ' (store %d or more)' % (found.group(1), key, stored.get(key), count, count))
        if expected != count - 1:
            places.fault(relative, text, found.start(),
                         'the load case "%s" expects %s to show entry %d; its last is %d'
                         % (found.group(1), key, expected, count - 1))


def check_hand_built_window(window, places):
    relative = 'bench/startup/HandBuiltWindow.c'
    text = places.read(relative)
    for symbol, (_, key, array, value_array) in LISTS.items():
        entries, values = window.lists[symbol]
        found = re.search(r'\b%s\[\]\s*=\s*\{([^{}]*)\}' % array, text)
        if not found or wide_texts(found.group(1)) != entries:
            places.fault(relative, text, found.start() if found else None,
                         '%s spells out the entries %s; the window has %s'
                         % (array, wide_texts(found.group(1)) if found else None, entries))
        if value_array:
            found_values = re.search(r'\b%s\[\]\s*=\s*\{([^{}]*)\}' % value_array, text)
            if not found_values or numbers(found_values.group(1)) != values:
                places.fault(relative, text, found_values.start() if found_values else None,
                             '%s spells out %s; the window has %s'
                             % (value_array, numbers(found_values.group(1)) if found_values
                                else None, values))
        call = re.search(r'dropDownList\([^;]*\b%s,\s*(?:NULL|%s),\s*(\d+)\)'
                         % (array, value_array or 'NULL'), text)
        if not call or int(call.group(1)) != len(entries):
            places.fault(relative, text, call.start() if call else None,
                         'the list of %s is made with %s entries; the window has %d'
                         % (array, call.group(1) if call else None, len(entries)))


def check_guide(window, places):
    relative = 'docs/使用说明.txt'
    text = places.read(relative)
    for symbol, (_, key, _, _) in LISTS.items():
        entries = window.lists[symbol][0]
        # The paragraph after "KEY：", up to the next list's line or a blank line.
        found = re.search(r'%s：(.*?)(?=\n\s*\S+：|\n\s*\n)' % key, text, re.S)
        if not found:
            places.fault(relative, text, None, 'no line %s' % key)
            continue
        listed = [e for e in re.split(r'[、，\s]+|以及', found.group(1)) if e]
        listed = [re.sub(r'^“(.*)”(（.*）)?$', r'\1', e) for e in listed]
        listed = [e for e in listed if not e.startswith('（')]
        if listed != entries:
            places.fault(relative, text, found.start(),
                         'the line %s lists %s; the window has %s' % (key, listed, entries))


def check_last_resolution(window, places):
    entries = window.lists['resolutionList'][0]
    last, (width, height) = entries[-1], window.sizes[-1]
    relative = 'tests/e2e/xdotool_test.sh'
    text = places.read(relative)
    chosen = re.search(r'End\s*# back to 组合框2: (\S+)', text)
    if not chosen or chosen.group(1) != last:
        places.fault(relative, text, chosen.start() if chosen else None,
                     'End picks the last resolution, %s; the comment says %s'
                     % (last, chosen.group(1) if chosen else None))
    after = chosen.end() if chosen else 0
    found = re.compile(r'分辨率选择=(\d+)').search(text, after)
    if not found or int(found.group(1)) != len(entries) - 1:
        places.fault(relative, text, found.start() if found else None,
                     'after End the profile stores 分辨率选择=%d' % (len(entries) - 1))
    found = re.compile(r'Width (\d+)\\r\\nHeight (\d+)').search(text, after)
    if not found or (int(found.group(1)), int(found.group(2))) != (width, height):
        places.fault(relative, text, found.start() if found else None,
                     'after End config.ini holds Width %d and Height %d' % (width, height))
    relative = 'README.md'
    text = places.read(relative)
    found = re.search(r'!\[The launcher window at 100 %: ([^\]]*)\]', text)
    if not found or last not in found.group(1).split(', '):
        places.fault(relative, text, found.start() if found else None,
                     'the screenshot (./run demo --auto picks the last resolution with End) shows'
                     ' %s: say so, and make both screenshots again (./run demo --auto, and with'
                     ' --dpi 144)' % last)


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), '..')
    window = Window(root)
    places = Places(root)
    for check in (check_program_window_test, check_hand_built_window, check_guide,
                  check_last_resolution):
        check(window, places)
    if places.faults:
        print('The window\'s lists are spelled out by hand in these places, which differ from'
              ' resources/LauncherWindow.json:')
        for fault in places.faults:
            print('  ' + fault)
        print('%d to change' % len(places.faults))
        return 1
    print('every place that spells out the window\'s lists agrees with resources/LauncherWindow.json')
    return 0


if __name__ == '__main__':
    sys.exit(main())
