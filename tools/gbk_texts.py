#!/usr/bin/env python3
"""Turns resources/texts.txt (UTF-8, `name = text`) into a C++ header of GBK byte strings.

The program handles all of its texts as GBK bytes; keeping the source list in UTF-8 lets
it be read and edited as ordinary text. Escapes \\r and \\n are understood in a text.
"""
import sys

from generated import c_literal, write_if_changed


def main(src: str, dst: str) -> None:
    lines = ['// Generated from resources/texts.txt: the program\'s texts as GBK bytes.',
             '#pragma once', '', 'namespace gbk {', '']
    with open(src, encoding='utf-8') as f:
        for number, raw in enumerate(f, 1):
            line = raw.rstrip('\n')
            if not line.strip() or line.lstrip().startswith('#'):
                continue
            name, sep, text = line.partition(' = ')
            if not sep:
                sys.exit(f'{src}:{number}: expected "name = text"')
            text = text.replace('\\r', '\r').replace('\\n', '\n')
            data = text.encode('gbk')
            shown = line.partition(' = ')[2]
            lines.append(f'// {shown}')
            lines.append(f'inline constexpr char {name.strip()}[] = {c_literal(data)};')
    lines += ['', '}  // namespace gbk', '']
    write_if_changed(dst, '\n'.join(lines).encode('utf-8'))


if __name__ == '__main__':
    main(sys.argv[1], sys.argv[2])
