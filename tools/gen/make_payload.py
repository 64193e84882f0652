#!/usr/bin/env python3
"""Packs the product's files into the payload archive, the same bytes on every run.

    make_payload.py PRODUCTDIR OUT.zip OUT.h

Entries are flat (the installer makes no folders while unpacking), in name order, all with one
fixed time. Files that deflate well are deflated; the others (pictures, sound) are stored.
OUT.h receives the archive's size and CRC-32 for the installer's integrity check.
"""
import sys
import zlib
import zipfile
from pathlib import Path

FIXED_TIME = (2026, 10, 30, 14, 30, 0)


def compresses(data):
    if not data:
        return False
    packer = zlib.compressobj(6, zlib.DEFLATED, -15)
    return len(packer.compress(data) + packer.flush()) < len(data) * 0.9


def main():
    product, archive_path, header_path = Path(sys.argv[1]), Path(sys.argv[2]), Path(sys.argv[3])
    files = sorted(p for p in product.iterdir() if p.is_file() and not p.name.startswith("."))
    with zipfile.ZipFile(archive_path, "w") as archive:
        for path in files:
            data = path.read_bytes()
            entry = zipfile.ZipInfo(path.name, FIXED_TIME)
            entry.create_system = 0  # MS-DOS
            entry.external_attr = 0x20  # archive bit
            entry.compress_type = zipfile.ZIP_DEFLATED if compresses(data) else zipfile.ZIP_STORED
            archive.writestr(entry, data)
    payload = archive_path.read_bytes()
    header_path.parent.mkdir(parents=True, exist_ok=True)
    header_path.write_text(
        "// Generated from the payload archive; do not edit.\n"
        f"#define VELTMOOR_PAYLOAD_SIZE {len(payload)}u\n"
        f"#define VELTMOOR_PAYLOAD_CRC 0x{zlib.crc32(payload):08X}u\n")


if __name__ == "__main__":
    main()
