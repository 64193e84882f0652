#!/usr/bin/env python3
"""Assembles the sample product's files, the same bytes on every run.

    make_product.py OUTDIR --files SRCDIR --program EXE [--program EXE ...]

OUTDIR receives the hand-written files of SRCDIR, the built sample programs, and generated
documents, pages, pictures and data: about 5 MB in all, part of it compressible text and part of
it incompressible, so that the archive holds both deflated and stored entries.
"""
import argparse
import random
import shutil
import struct
import zlib
from pathlib import Path

WORDS = ("harbour tide lantern quay brig schooner salt merchant keeper smuggler fog reef anchor "
         "rope tavern ledger cargo wharf gull storm beacon chart compass mooring net cask sail "
         "captain pilot harbourmaster customs rum tobacco lace silver debt feud oath night dawn "
         "the a of and to in on by with from under over beyond before after while").split()


def prose(rng, sentences):
    out = []
    for _ in range(sentences):
        words = [rng.choice(WORDS) for _ in range(rng.randint(6, 16))]
        out.append(" ".join(words).capitalize() + ".")
    return " ".join(out)


def document(rng, title, paragraphs):
    """A plain text document with CR LF line ends, named .doc as the product's documents are."""
    lines = [title, "=" * len(title), ""]
    for i in range(paragraphs):
        lines += [prose(rng, rng.randint(3, 7)), ""]
    return "\r\n".join(lines).encode("cp1252")


def page(rng, title, paragraphs, pictures=()):
    body = "".join(f'<img src="{p}" alt="">\n' for p in pictures)
    body += "".join(f"<p>{prose(rng, rng.randint(3, 8))}</p>\n" for _ in range(paragraphs))
    return (f"<html>\n<head><title>{title}</title></head>\n<body>\n<h1>{title}</h1>\n{body}"
            f'<p><a href="index.htm">Back</a></p>\n</body>\n</html>\n').encode("cp1252")


def png(rng, width, height):
    """A real PNG of noisy sea colours: its pixel data barely compresses."""
    rows = b""
    for y in range(height):
        rows += b"\0" + bytes(rng.getrandbits(8) if x % 3 else 40 + y % 80 for x in range(width * 3))
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b"")


def noise(rng, size, magic):
    return magic + rng.randbytes(size - len(magic))


def level_data(rng, records):
    """Compressible binary game data: repetitive records with a little variation."""
    out = bytearray()
    for i in range(records):
        name = rng.choice(WORDS).encode().ljust(16, b"\0")
        out += struct.pack("<IHH", i, rng.randint(0, 64), rng.randint(0, 3)) + name + bytes(8)
    return bytes(out)


def icon_file():
    """document.icn: a one-image 16 x 16 icon of a page."""
    pixels = b""
    for y in range(16):
        for x in range(16):
            inside = 3 <= x <= 12 and 1 <= y <= 14
            line = inside and y % 3 == 0 and 5 <= x <= 10
            pixels += bytes((90, 90, 90, 255)) if line else bytes((250, 250, 250, 255)) if inside else bytes(4)
    mask = bytes(4 * 16)
    header = struct.pack("<IiiHHIIiiII", 40, 16, 32, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    image = header + pixels + mask
    return struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", 16, 16, 0, 0, 1, 32, len(image), 22) + image


def generated_files():
    rng = random.Random(20261211)
    files = {
        "Whatsnew.Doc": document(rng, "What's New in Veltmoor: A Harbor Chronicle", 60),
        "order.doc": document(rng, "Order Form", 25),
        "document.icn": icon_file(),
        "manual.htm": page(rng, "Documentation: Read Me First", 90, ["HTML0002.GIF"]),
        "story.htm": page(rng, "The Story So Far", 70, ["HTML0010.JPG", "HTML0020.PNG"]),
        "credits.htm": page(rng, "Credits", 12),
        "harbway.dat": level_data(rng, 64000),
        "dialogue.txt": document(rng, "Dialogue", 2400),
        "harbway.snd": noise(rng, 1_500_000, b"RIFF"),
        "harbour.mus": noise(rng, 1_000_000, b"MThd"),
    }
    for i, size in ((1, 92_000), (2, 61_000), (3, 130_000)):
        files[f"HTML{i:04d}.GIF"] = noise(rng, size, b"GIF89a")
    files["html0009.gif"] = noise(rng, 18_000, b"GIF89a")  # lower case: moves match names without case
    for i, size in ((10, 210_000), (11, 175_000)):
        files[f"HTML{i:04d}.JPG"] = noise(rng, size, b"\xff\xd8\xff\xe0")
    files["HTML0020.PNG"] = png(rng, 220, 160)
    files["veltmoorreg.png"] = png(rng, 300, 200)
    return files


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("outdir", type=Path)
    parser.add_argument("--files", type=Path, required=True)
    parser.add_argument("--program", type=Path, action="append", default=[])
    args = parser.parse_args()

    args.outdir.mkdir(parents=True, exist_ok=True)
    for source in sorted(args.files.iterdir()):
        if source.is_file():
            shutil.copyfile(source, args.outdir / source.name)
    for program in args.program:
        shutil.copyfile(program, args.outdir / program.name)
    for name, data in generated_files().items():
        (args.outdir / name).write_bytes(data)


if __name__ == "__main__":
    main()
