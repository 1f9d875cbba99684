#!/usr/bin/env python3
"""Writes the players' package: one zip holding the two programs, the guide, the licence and
SHA256SUMS, the same bytes from the same inputs wherever and whenever it is made.

usage: package.py VERSION OUT_DIR LAUNCHER_X64 LAUNCHER_X86 GUIDE LICENSE

The guide (UTF-8 in the tree) is shipped as UTF-8 with a byte-order mark and CR LF line
ends: Notepad of every Windows version opens that correctly whatever the system's code
page, where GBK would be garbled on any but a Chinese system. The licence gets CR LF too.

The zip's entries come in a fixed order with a fixed date and fixed attributes. A name
that is not ASCII is stored as GBK, as the zip tools of Chinese Windows read names without
the UTF-8 flag, and also as UTF-8 in the Info-ZIP Unicode path field that other tools read.
"""
import hashlib
import os
import struct
import sys
import zipfile
import zlib

FIXED_DATE = (2000, 1, 1, 0, 0, 0)


class Entry(zipfile.ZipInfo):
    """An entry whose name is stored as GBK bytes without the UTF-8 flag."""

    def _encodeFilenameFlags(self):  # noqa: N802 (zipfile's own name)
        return self.filename.encode("gbk"), self.flag_bits


def entry(name):
    info = Entry(name, date_time=FIXED_DATE)
    info.create_system = 0
    info.external_attr = 0
    info.compress_type = zipfile.ZIP_DEFLATED
    if not name.isascii():
        stored = name.encode("gbk")
        utf8 = name.encode("utf-8")
        field = struct.pack("<BI", 1, zlib.crc32(stored)) + utf8
        info.extra = struct.pack("<HH", 0x7075, len(field)) + field
    return info


def text_for_windows(data, bom):
    text = data.decode("utf-8").replace("\r\n", "\n").replace("\n", "\r\n")
    return (b"\xef\xbb\xbf" if bom else b"") + text.encode("utf-8")


def main(argv):
    version, out_dir, x64, x86, guide, licence = argv[1:7]
    read = lambda path: open(path, "rb").read()  # noqa: E731
    files = [
        ("launcher.exe", read(x64)),
        ("launcher-x86.exe", read(x86)),
        ("使用说明.txt", text_for_windows(read(guide), bom=True)),
        ("LICENSE.txt", text_for_windows(read(licence), bom=False)),
    ]
    sums = "".join(f"{hashlib.sha256(data).hexdigest()}  {name}\n" for name, data in files)
    files.append(("SHA256SUMS", sums.encode("utf-8")))

    os.makedirs(out_dir, exist_ok=True)
    for old in os.listdir(out_dir):
        if old.endswith(".zip"):
            os.remove(os.path.join(out_dir, old))
    target = os.path.join(out_dir, f"launcher-{version}.zip")
    with zipfile.ZipFile(target + ".part", "w") as archive:
        for name, data in files:
            archive.writestr(entry(name), data, compresslevel=9)
    os.replace(target + ".part", target)
    for name, data in files:
        print(f"  {len(data):>8}  {name}", file=sys.stderr)
    print(target)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
