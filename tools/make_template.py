#!/usr/bin/env python3
"""Turns the readable window description (resources/LauncherWindow.json, UTF-8) into the
serialized window template that the program carries as a resource and reads at start-up.

    make_template.py DESCRIPTION ICON OUTPUT [ARRAY_INCLUDE [HEADER]]

All integers are 32-bit little-endian; texts are written as GBK bytes. A counted text is a
byte count and the bytes; a zero-ended text is the bytes and one zero byte; a byte block is
a byte count and the bytes. Fields that a unit of the description leaves out take the
defaults below. A "@icon" byte block stands for the contents of ICON. Handler names are
bound by number: the program's handler table lists them in the order of HANDLERS; -1 means
no handler. ARRAY_INCLUDE, when given, receives the same bytes as a C++ initializer list
(for tests that read the template without the resource).

HEADER, when given, receives the facts of the first window that the program and the tests
use, named by each unit's "symbol": the window and unit ids, the names, the title and the
texts of the controls, the child control ids (through the frame's own rule, childIdOfUnit in
frame/UnitNumbers.h, which the header includes), the handler numbers by name, the rectangles at
96 DPI, the entries of each list with their item values (GBK), and the width and height of
each entry of the list that has "sizes" (every entry must have one, or nothing is built).
"""
import json
import struct
import sys

from generated import c_literal, write_if_changed

HANDLERS = ['onWindowCreated', 'onStartGameClicked']
KINDS = {'window': 0x00010001, 'label': 0x0001000A, 'button': 0x0001000B,
         'checkBox': 0x0001000C, 'dropDownList': 0x0001000E}
FACE = 0xFF000000  # the system button face colour

# Kind blocks: (field, form, default, first version holding it). Forms: i = 32-bit integer,
# t = counted text, b = byte block, e = list entries, v = item values, r = reserved 32-bit 0,
# rt = reserved counted text (empty).
LAYOUTS = {
    'window': [
        ('borderStyle', 'i', 2, 1), ('backgroundPictureMode', 'i', 1, 1),
        ('backgroundColour', 'i', FACE, 1), ('maximiseBox', 'i', 0, 1),
        ('minimiseBox', 'i', 0, 1), ('controlBox', 'i', 1, 1), ('startPosition', 'i', 1, 1),
        ('movable', 'i', 1, 1), ('musicMode', 'i', 0, 1), ('enterMovesFocus', 'i', 0, 1),
        ('escCloses', 'i', 0, 1), ('f1Help', 'i', 0, 1), ('helpContext', 'i', 0, 1),
        ('showInTaskbar', 'i', 1, 2), ('dragByClient', 'i', 0, 3), ('shape', 'i', 0, 3),
        ('alwaysOnTop', 'i', 0, 4), ('reserved', 'r', 0, 5), ('className', 't', '', 6),
        ('backgroundPicture', 'b', '', 1), ('icon', 'b', '', 1), ('backgroundMusic', 'b', '', 1),
        ('title', 't', '', 1), ('helpFile', 't', '', 1)],
    'label': [
        ('textEffect', 'i', 0, 1), ('borderWidth', 'i', 8, 1), ('borderStyle', 'i', 0, 1),
        ('borderColour1', 'i', 0x808080, 1), ('borderColour2', 'i', 0xFFFFFF, 1),
        ('borderColour3', 'i', 0x808080, 1), ('textColour', 'i', 0, 1),
        ('backgroundColour', 'i', FACE, 1), ('backgroundPictureMode', 'i', 1, 1),
        ('gradientMode', 'i', 0, 1), ('gradientColour1', 'i', 0x808080, 1),
        ('gradientColour2', 'i', 0xFFFFFF, 1), ('gradientColour3', 'i', 0x808080, 1),
        ('hAlign', 'i', 0, 1), ('vAlign', 'i', 1, 1), ('wordWrap', 'i', 0, 1),
        ('font', 'b', '', 1), ('backgroundPicture', 'b', '', 1), ('text', 't', '', 1),
        ('reserved1', 'rt', '', 2), ('reserved2', 'rt', '', 2)],
    'button': [
        ('type', 'i', 0, 1), ('hAlign', 'i', 1, 1), ('vAlign', 'i', 1, 1),
        ('picture', 'b', '', 1), ('font', 'b', '', 1), ('text', 't', '', 1)],
    'checkBox': [
        ('pushLike', 'i', 0, 1), ('flat', 'i', 0, 1), ('leftText', 'i', 0, 1),
        ('hAlign', 'i', 0, 1), ('vAlign', 'i', 1, 1), ('textColour', 'i', 0, 1),
        ('backgroundColour', 'i', FACE, 1), ('ticked', 'i', 0, 1), ('picture', 'b', '', 1),
        ('font', 'b', '', 1), ('text', 't', '', 1), ('reserved1', 'rt', '', 2),
        ('reserved2', 'rt', '', 2)],
    'dropDownList': [
        ('listType', 'i', 2, 1), ('maxLength', 'i', 0, 1), ('selectionStart', 'i', 0, 1),
        ('selectionLength', 'i', 0, 1), ('sorted', 'i', 0, 1), ('extraItemHeight', 'i', 1, 1),
        ('textColour', 'i', 0, 1), ('backgroundColour', 'i', 0xFFFFFF, 1),
        ('initialSelection', 'i', 0, 1), ('font', 'b', '', 1), ('itemValues', 'v', None, 1),
        ('content', 't', '', 1), ('entries', 'e', None, 1), ('reserved1', 'rt', '', 2),
        ('reserved2', 'rt', '', 2), ('reserved', 'r', 0, 3)],
}


def number(value):
    return int(value, 0) if isinstance(value, str) else int(value)


def u32(value):
    return struct.pack('<I', number(value) & 0xFFFFFFFF)


def gbk(text):
    return text.encode('gbk')


def counted(data):
    return u32(len(data)) + data


def zero_ended(text):
    data = gbk(text)
    if b'\0' in data:
        raise ValueError('a zero-ended text holds a zero byte')
    return data + b'\0'


def kind_block(kind, block, icon):
    version = number(block['version'])
    out = u32(version)
    entries = block.get('entries', [])
    for name, form, default, since in LAYOUTS[kind]:
        if version < since:
            continue
        value = block.get(name, default)
        if form == 'i':
            out += u32(value)
        elif form == 'r':
            out += u32(0)
        elif form == 't':
            out += counted(gbk(value))
        elif form == 'rt':
            out += counted(b'')
        elif form == 'b':
            out += counted(icon if value == '@icon' else gbk(value))
        elif form == 'v':
            # item values: one per entry from the first, as far as the description gives them
            values = []
            for entry in entries:
                if len(entry) < 2:
                    break
                values.append(struct.pack('<i', number(entry[1])))
            out += counted(b''.join(values))
        elif form == 'e':
            if len(entries) < 0xFFFF:
                out += struct.pack('<H', len(entries))
            else:
                out += struct.pack('<H', 0xFFFF) + u32(len(entries))
            for entry in entries:
                out += counted(gbk(entry[0]))
    return out


def handler_reference(name):
    if name is None or name == -1:
        return -1
    return HANDLERS.index(name)


def unit_record(unit, icon):
    kind = unit['kind']
    left, top, width, height = unit['rect']
    out = u32(KINDS[kind]) + u32(0) * 5
    out += zero_ended(unit.get('name', '')) + zero_ended('')
    out += u32(0)  # control slot
    out += b''.join(u32(v) for v in (left, top, width, height))
    out += u32(0)  # cursor slot
    out += u32(unit.get('parent', 0))
    children = unit.get('children', [])
    out += u32(len(children)) + b''.join(u32(c) for c in children)
    out += counted(u32(0))  # cursor: the default one
    out += zero_ended(unit.get('tag', ''))
    out += u32(0)
    out += u32(unit['flags']) + u32(unit.get('tabOrder', 0))
    events = unit.get('events', [])
    out += u32(len(events))
    for event_number, handler in events:
        out += u32(event_number) + u32(handler_reference(handler))
    out += u32(0) * 5
    out += kind_block(kind, unit['block'], icon)
    return counted(out)


def window_template(description, icon):
    windows = description['windows']
    out = u32(8 * len(windows))
    out += b''.join(u32(w['id']) for w in windows)
    out += u32(0) * len(windows)
    for window in windows:
        reserved = window.get('reserved', [0, 0])
        out += u32(reserved[0]) + u32(reserved[1]) + counted(b'') + counted(b'')
        units = window['units']
        records = [unit_record(u, icon) for u in units]
        offsets = []
        at = 0
        for record in records:
            offsets.append(at)
            at += len(record)
        block = b''.join(u32(u['id']) for u in units)
        block += b''.join(u32(o) for o in offsets)
        block += b''.join(records)
        out += u32(len(units)) + u32(len(block)) + block
    return out


def template_header(description):
    window = description['windows'][0]
    units = window['units']
    lines = ['// Generated by tools/make_template.py from resources/LauncherWindow.json: the launcher',
             '// window as its template describes it. Texts are GBK bytes.',
             '#pragma once', '', '#include <cstdint>', '', '#include "frame/UnitNumbers.h"', '',
             'struct TemplateRect {', '  int32_t left, top, width, height;  // at 96 DPI', '};',
             'struct TemplateEntry {', '  const char* text;', '  int32_t itemValue;  // 0 where the template gives none', '};',
             'struct TemplateResolution {', '  const char* label;', '  int32_t width, height;', '};', '',
             'inline constexpr uint32_t launcherWindowId = %s;' % '0x%08X' % number(window['id']),
             'inline constexpr uint32_t windowUnitId = %s;  // the window\'s own unit'
             % '0x%08X' % number(units[0]['id']), '',
             '// The launcher routines the template binds by name; a handler table is indexed by them.',
             'namespace launcher_handler {']
    for index, name in enumerate(HANDLERS):
        lines.append('inline constexpr int %s = %d;' % (name, index))
    lines += ['inline constexpr int count = %d;' % len(HANDLERS), '}  // namespace launcher_handler', '']
    controls = units[1:]
    symbols = [u['symbol'] for u in controls]
    if len(set(symbols)) != len(symbols) or units[0].get('symbol') != 'window':
        raise ValueError('every unit needs a symbol of its own, the window "window"')
    lines.append('// Unit ids of the controls, in template order (first = top of the stacking order).')
    lines.append('namespace launcher_unit {')
    for u in controls:
        lines.append('inline constexpr uint32_t %s = %s;  // %s' % (u['symbol'], '0x%08X' % number(u['id']), u['name']))
    lines += ['}  // namespace launcher_unit', '', '// The controls\' names in the template.',
              'namespace launcher_name {']
    for u in controls:
        lines.append('inline constexpr const char* %s = %s;  // %s' % (u['symbol'], c_literal(gbk(u['name'])), u['name']))
    lines += ['}  // namespace launcher_name', '', '// The window\'s title and the texts the controls show.',
              'namespace launcher_text {']
    for u in units:
        text = u['block'].get('title' if u['kind'] == 'window' else 'text')
        if text is not None:
            lines.append('inline constexpr const char* %s = %s;  // %s' % (u['symbol'], c_literal(gbk(text)), text))
    lines += ['}  // namespace launcher_text', '',
              '// Control ids of the controls\' native windows.', 'namespace launcher_child {']
    for position, u in enumerate(controls):
        lines.append('inline constexpr int %s = childIdOfUnit(%d, %d);' % (u['symbol'], position + 1, len(controls) + 1))
    lines += ['}  // namespace launcher_child', '', '// Rectangles at 96 DPI: the window\'s outer one, the controls\' in its client area.',
              'namespace launcher_rect {']
    for u in units:
        lines.append('inline constexpr TemplateRect %s = {%d, %d, %d, %d};' % ((u['symbol'],) + tuple(u['rect'])))
    lines += ['}  // namespace launcher_rect', '', '// The entries of each list, in order.', 'namespace launcher_entries {']
    sized = None
    for u in controls:
        if u['kind'] != 'dropDownList':
            continue
        entries = u['block'].get('entries', [])
        lines.append('inline constexpr TemplateEntry %s[] = {' % u['symbol'])
        for entry in entries:
            value = number(entry[1]) if len(entry) > 1 else 0
            lines.append('    {%s, %d},  // %s' % (c_literal(gbk(entry[0])), value, entry[0]))
        lines.append('};')
        if 'sizes' in u['block']:
            sizes = u['block']['sizes']
            if len(sizes) != len(entries) or any(len(s) != 2 for s in sizes):
                raise ValueError('%s: every entry needs its width and height' % u['symbol'])
            sized = (u['symbol'], entries, sizes)
    lines += ['}  // namespace launcher_entries', '']
    if sized is None:
        raise ValueError('no list gives the sizes of its entries')
    lines.append('// The width and height that each entry of %s stands for, in its order.' % sized[0])
    lines.append('inline constexpr TemplateResolution launcherResolutions[] = {')
    for entry, (width, height) in zip(sized[1], sized[2]):
        lines.append('    {%s, %d, %d},' % (c_literal(gbk(entry[0])), number(width), number(height)))
    lines.append('};')
    return ('\n'.join(lines) + '\n').encode('utf-8')


def main(argv):
    with open(argv[1], encoding='utf-8') as f:
        description = json.load(f)
    with open(argv[2], 'rb') as f:
        icon = f.read()
    data = window_template(description, icon)
    write_if_changed(argv[3], data)
    if len(argv) > 4:
        lines = []
        for start in range(0, len(data), 24):
            lines.append(', '.join('0x%02x' % b for b in data[start:start + 24]) + ',')
        text = '// Generated by tools/make_template.py: the serialized window template.\n'
        text += '\n'.join(lines) + '\n'
        write_if_changed(argv[4], text.encode('ascii'))
    if len(argv) > 5:
        write_if_changed(argv[5], template_header(description))


if __name__ == '__main__':
    main(sys.argv)
