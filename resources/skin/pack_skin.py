#!/usr/bin/python3
"""Packs the skin archive: every file given, at the archive's root, in a fixed order and with a
fixed time stamp so that the same sources always give the same bytes.
Usage: pack_skin.py [--stored] OUTPUT.zip FILE..."""
import os
import sys
import zipfile


def main(args):
    method = zipfile.ZIP_DEFLATED
    if args and args[0] == "--stored":
        method = zipfile.ZIP_STORED
        args = args[1:]
    if len(args) < 2:
        sys.exit(__doc__)
    output, files = args[0], sorted(args[1:], key=os.path.basename)
    tmp = output + ".tmp"
    with zipfile.ZipFile(tmp, "w", compression=method, compresslevel=9 if method == zipfile.ZIP_DEFLATED else None) as z:
        for path in files:
            info = zipfile.ZipInfo(os.path.basename(path), date_time=(2024, 1, 1, 0, 0, 0))
            info.compress_type = method
            info.external_attr = 0o644 << 16
            with open(path, "rb") as f:
                z.writestr(info, f.read())
    os.replace(tmp, output)


if __name__ == "__main__":
    main(sys.argv[1:])
