#!/usr/bin/env python3
"""Damaged copies of the payload archive for the tests' resources.

    make_payload_variants.py PAYLOAD.zip OUTDIR

payload_longer.bin has one byte more, payload_shorter.bin one byte less, payload_changed.bin the
same size with one byte in its middle changed.
"""
import sys
from pathlib import Path


def main():
    payload = Path(sys.argv[1]).read_bytes()
    out = Path(sys.argv[2])
    out.mkdir(parents=True, exist_ok=True)
    changed = bytearray(payload)
    changed[len(changed) // 2] ^= 0x01
    (out / "payload_longer.bin").write_bytes(payload + b"\0")
    (out / "payload_shorter.bin").write_bytes(payload[:-1])
    (out / "payload_changed.bin").write_bytes(bytes(changed))


if __name__ == "__main__":
    main()
