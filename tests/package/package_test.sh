#!/usr/bin/env bash
# The players' zip (tools/package.py) from stand-in programs and the real guide and licence:
# the same bytes from two folders at two times; the guide's name stored as GBK (what the zip
# tools of Chinese Windows read) with the Info-ZIP Unicode path field beside it (what other
# tools read); and unpacked by unzip in several locales, every file checked by
# `sha256sum -c SHA256SUMS` as docs/package.md says, the shell's locale being each of them.
#
#   package_test.sh <source root>      exit 0 pass, 1 fail or could not run
set -uo pipefail
root=$1
command -v unzip >/dev/null || { echo "FAILED: no unzip to read the zip with"; exit 1; }
scratch=$(mktemp -d /tmp/package-test.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
failures=0
check() { # description, condition...
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

# Two packagings of the same inputs, in two folders, the inputs dated apart.
for run in a b; do
  mkdir -p "$scratch/$run/in"
  printf 'MZ x64 stand-in' >"$scratch/$run/in/x64.exe"
  printf 'MZ x86 stand-in' >"$scratch/$run/in/x86.exe"
  cp "$root/docs/使用说明.txt" "$root/LICENSE" "$scratch/$run/in/"
  touch -d "@$([ $run = a ] && echo 1000000000 || echo 1700000000)" "$scratch/$run/in/"*
  (cd "$scratch/$run/in" && python3 "$root/tools/package.py" 9.8.7 "$scratch/$run/dist" \
    x64.exe x86.exe 使用说明.txt LICENSE >/dev/null 2>&1)
done
zip=$scratch/a/dist/launcher-9.8.7.zip
check "the zip is made, named with the version" test -f "$zip"
check "the same inputs give the same zip bytes in another folder at another time" \
  cmp -s "$zip" "$scratch/b/dist/launcher-9.8.7.zip"

# The entries in their order, and the guide's name in the central directory and in its local
# header: GBK bytes without the UTF-8 flag, and a Unicode path field of version 1 with the
# CRC-32 of those bytes and the UTF-8 name.
check "entries, names as stored and the guide's Unicode path field" python3 - "$zip" <<'PY'
import struct, sys, zipfile, zlib
path = sys.argv[1]
guide = "使用说明.txt"
names = ["launcher.exe", "launcher-x86.exe", guide, "LICENSE.txt", "SHA256SUMS"]
data = open(path, "rb").read()
with zipfile.ZipFile(path) as archive:
    infos = archive.infolist()
raw = [i.orig_filename.encode("cp437") if not i.flag_bits & 0x800 else i.orig_filename.encode()
       for i in infos]
wanted = [n.encode("gbk") for n in names]
ok = raw == wanted and all(i.flag_bits & 0x800 == 0 for i in infos)
def unicode_path(extra):
    fields = {}
    while len(extra) >= 4:
        tag, size = struct.unpack("<HH", extra[:4])
        fields[tag] = extra[4:4 + size]
        extra = extra[4 + size:]
    return fields.get(0x7075)
field = struct.pack("<BI", 1, zlib.crc32(guide.encode("gbk"))) + guide.encode()
for info, name in zip(infos, names):
    central = unicode_path(info.extra)
    offset = info.header_offset
    name_length, extra_length = struct.unpack("<HH", data[offset + 26:offset + 30])
    local = unicode_path(data[offset + 30 + name_length:offset + 30 + name_length + extra_length])
    expected = field if name == guide else None
    ok = ok and central == expected and local == expected
sys.exit(0 if ok else 1)
PY

# Unpacked by unzip and checked as docs/package.md says, the shell in each locale; in the C
# locale unzip is told the UTF-8 character set (LC_ALL=C.UTF-8), as docs/package.md says, since
# it cannot spell the name in a locale of ASCII alone.
for locale in zh_CN.UTF-8 en_US.UTF-8 ja_JP.UTF-8 C.UTF-8 C; do
  out=$scratch/unpacked-$locale
  mkdir -p "$out"
  unzip_locale=$locale
  [ "$locale" = C ] && unzip_locale=C.UTF-8
  (cd "$out" && LC_ALL=$unzip_locale LANG=$locale unzip -q "$zip")
  check "unzip under $locale gives the guide its name" test -f "$out/使用说明.txt"
  check "sha256sum -c SHA256SUMS under $locale" \
    bash -c "cd '$out' && LANG=$locale LC_ALL=$locale sha256sum -c --quiet SHA256SUMS"
  check "under $locale nothing else is unpacked" \
    test "$(cd "$out" && LC_ALL=C ls -A | LC_ALL=C sort | tr '\n' ' ')" = \
    "LICENSE.txt SHA256SUMS launcher-x86.exe launcher.exe 使用说明.txt "
done
check "the guide as shipped: UTF-8 with a byte-order mark and CR LF" python3 - \
  "$scratch/unpacked-C/使用说明.txt" "$root/docs/使用说明.txt" <<'PY'
import sys
shipped, source = (open(p, "rb").read() for p in sys.argv[1:3])
expected = b"\xef\xbb\xbf" + source.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
sys.exit(0 if shipped == expected else 1)
PY
exit $((failures > 0))
