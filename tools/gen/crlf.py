#!/usr/bin/env python3
"""Copies a text file with every line ending as CR LF: crlf.py IN OUT"""
import sys
from pathlib import Path

text = Path(sys.argv[1]).read_bytes().replace(b"\r\n", b"\n")
Path(sys.argv[2]).write_bytes(text.replace(b"\n", b"\r\n"))
