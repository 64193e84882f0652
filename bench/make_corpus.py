#!/usr/bin/env python3
"""Makes the decoder benchmark's inputs: raw DEFLATE streams, one file each.

    make_corpus.py PAYLOAD.zip SOURCE_TREE EXTRA_BINARIES_DIR OUTDIR

OUTDIR/payload/ gets the deflated entries of the payload archive exactly as stored; OUTDIR/corpus/
gets a larger corpus of several kinds of data (about 48 MB), compressed at zlib's default level as
the payload is. Files already made are kept.
"""
import random
import struct
import sys
import zipfile
import zlib
from pathlib import Path

MB = 1024 * 1024
WORDS = ("harbour tide lantern quay brig schooner salt merchant keeper smuggler fog reef anchor "
         "rope tavern ledger cargo wharf gull storm beacon chart compass mooring net cask sail "
         "the a of and to in on by with from under over beyond before after while").split()


def raw_deflate(data):
    packer = zlib.compressobj(6, zlib.DEFLATED, -15)
    return packer.compress(data) + packer.flush()


def prose(rng, size):
    out, length = [], 0
    while length < size:
        words = [rng.choice(WORDS) for _ in range(rng.randint(6, 16))]
        sentence = " ".join(words).capitalize() + (".\r\n" if rng.random() < 0.2 else ". ")
        out.append(sentence)
        length += len(sentence)
    return "".join(out).encode()[:size]


def source(tree, size):
    texts = []
    for pattern in ("*.cpp", "*.h", "*.py", "*.md", "*.txt", "*.sh", "*.cmake"):
        texts += sorted(p for p in tree.rglob(pattern) if "build" not in p.parts and ".git" not in p.parts)
    blob = b"".join(p.read_bytes() for p in texts)
    out = bytearray()
    copy = 0
    while len(out) < size:
        out += b"/* copy %d */\n" % copy + blob
        copy += 1
    return bytes(out[:size])


def records(rng, size):
    out = bytearray()
    i = 0
    while len(out) < size:
        name = rng.choice(WORDS).encode().ljust(16, b"\0")
        out += struct.pack("<IHHf", i, rng.randint(0, 64), rng.randint(0, 3), rng.random() * 100) + name + bytes(4)
        i += 1
    return bytes(out[:size])


def executables(folder, size):
    out = bytearray()
    for path in sorted(p for p in folder.rglob("*") if p.is_file() and p.stat().st_size > 100_000):
        with open(path, "rb") as f:
            if f.read(4) != b"\x7fELF":
                continue
        out += path.read_bytes()
        if len(out) >= size:
            break
    return bytes(out[:size])


def image(rng, size):
    """Photo-like pixels: smooth gradients with a little noise."""
    width = 2048
    rows = []
    total = 0
    y = 0
    while total < size:
        noise = rng.randbytes(width * 3)
        row = bytes(((x * 3 + y) // 7 + (noise[x] & 7)) & 0xFF for x in range(width * 3))
        rows.append(row)
        total += len(row)
        y += 1
    return b"".join(rows)[:size]


def log(rng, size):
    out, length, t = [], 0, 1_700_000_000
    while length < size:
        t += rng.randint(0, 3)
        line = "%d INFO harbour.%s id=%d took=%dms %s\n" % (
            t, rng.choice(WORDS), rng.randint(1, 99999), rng.randint(1, 900), rng.choice(WORDS))
        out.append(line)
        length += len(line)
    return "".join(out).encode()[:size]


def main():
    payload, tree, binaries, outdir = (Path(a) for a in sys.argv[1:5])
    (outdir / "payload").mkdir(parents=True, exist_ok=True)
    with zipfile.ZipFile(payload) as archive:
        raw = payload.read_bytes()
        for info in archive.infolist():
            if info.compress_type != zipfile.ZIP_DEFLATED:
                continue
            name_length, extra_length = struct.unpack("<HH", raw[info.header_offset + 26:info.header_offset + 30])
            start = info.header_offset + 30 + name_length + extra_length
            (outdir / "payload" / (info.filename + ".deflate")).write_bytes(raw[start:start + info.compress_size])

    corpus = outdir / "corpus"
    corpus.mkdir(exist_ok=True)
    makers = {
        "prose.txt": lambda rng: prose(rng, 10 * MB),
        "source.txt": lambda rng: source(tree, 6 * MB),
        "records.dat": lambda rng: records(rng, 8 * MB),
        "executables.bin": lambda rng: executables(binaries, 8 * MB),
        "image.raw": lambda rng: image(rng, 8 * MB),
        "log.txt": lambda rng: log(rng, 8 * MB),
    }
    for name, make in makers.items():
        target = corpus / (name + ".deflate")
        if not target.exists():
            target.write_bytes(raw_deflate(make(random.Random(name))))


if __name__ == "__main__":
    main()
