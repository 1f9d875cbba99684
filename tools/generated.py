"""What the build-time generators share."""


def write_if_changed(path, data):
    """Writes the bytes to path unless it already holds exactly them, so that what depends
    on a generated file is not rebuilt when the file comes out the same."""
    try:
        with open(path, 'rb') as f:
            if f.read() == data:
                return
    except FileNotFoundError:
        pass
    with open(path, 'wb') as f:
        f.write(data)


def c_literal(data: bytes) -> str:
    """The bytes as a C string literal: printable ASCII as it is, the rest as escapes."""
    out = []
    prev_hex = False
    for b in data:
        ch = chr(b)
        if b < 0x80 and ch.isprintable() and ch not in '\\"':
            if prev_hex and ch in '0123456789abcdefABCDEF':
                out.append('""')
            out.append(ch)
            prev_hex = False
        else:
            out.append('\\x%02x' % b)
            prev_hex = True
    return '"' + ''.join(out) + '"'
