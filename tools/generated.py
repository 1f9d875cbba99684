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
