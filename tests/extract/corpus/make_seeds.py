#!/usr/bin/env python3
"""Writes the fuzz targets' seed corpus next to this script (the same bytes on every run).

    make_seeds.py

zip_reader/: small archives of the kinds the reader must handle; inflate/: raw DEFLATE streams of
every block type and strategy.
"""
import io
import zipfile
import zlib
from pathlib import Path

HERE = Path(__file__).resolve().parent
TIME = (2026, 10, 30, 14, 30, 0)
TEXT = b"".join(b"Line %d of the harbour ledger: tide, lantern, quay.\r\n" % i for i in range(60))


def archive(entries, comment=b"", stream=None):
    out = stream or io.BytesIO()
    with zipfile.ZipFile(out, "w") as z:
        for name, data, method in entries:
            info = zipfile.ZipInfo(name, TIME)
            info.compress_type = method
            z.writestr(info, data)
        z.comment = comment
    return out.getvalue()


class Unseekable(io.BytesIO):
    """Makes zipfile write data descriptors, as a streaming writer does."""
    def seekable(self):
        return False


def raw(data, level, strategy=zlib.Z_DEFAULT_STRATEGY):
    packer = zlib.compressobj(level, zlib.DEFLATED, -15, 9, strategy)
    return packer.compress(data) + packer.flush()


def main():
    zips = {
        "stored_and_deflated.zip": archive([("readme.txt", TEXT, zipfile.ZIP_DEFLATED),
                                            ("logo.bin", bytes(range(256)) * 4, zipfile.ZIP_STORED)]),
        "data_descriptor.zip": archive([("streamed.txt", TEXT, zipfile.ZIP_DEFLATED)], stream=Unseekable()),
        "empty.zip": archive([]),
        "with_comment.zip": archive([("a.txt", b"a", zipfile.ZIP_STORED)], comment=b"c" * 3000),
        "many_entries.zip": archive([("f%02d.txt" % i, b"entry %d\n" % i, zipfile.ZIP_STORED) for i in range(70)]),
    }
    zips["prefixed.zip"] = b"MZ" + bytes(1000) + zips["stored_and_deflated.zip"]
    streams = {
        "level1.bin": raw(TEXT, 1),
        "level6.bin": raw(TEXT, 6),
        "level9.bin": raw(TEXT * 3, 9),
        "stored.bin": raw(TEXT, 0),
        "fixed.bin": raw(TEXT, 6, zlib.Z_FIXED),
        "huffman_only.bin": raw(TEXT, 6, zlib.Z_HUFFMAN_ONLY),
        "rle.bin": raw(b"a" * 500 + TEXT, 6, zlib.Z_RLE),
        "empty.bin": raw(b"", 6),
    }
    for folder, files in (("zip_reader", zips), ("inflate", streams)):
        (HERE / folder).mkdir(exist_ok=True)
        for name, data in files.items():
            (HERE / folder / name).write_bytes(data)


if __name__ == "__main__":
    main()
