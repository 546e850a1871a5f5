#!/usr/bin/env python3
"""Writes the benchmarks' .reg file: one key with 10,000 values (REG_SZ,
REG_DWORD, REG_BINARY and REG_MULTI_SZ in turn), UTF-16LE as regedit writes.
Usage: make-bench-reg.py FILE"""
import sys

lines = ["Windows Registry Editor Version 5.00", "", "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PortwrightBench]"]
for i in range(10000):
    kind = i % 4
    if kind == 0:
        lines.append(f'"text {i:05}"="host{i}.corp.example:6001-6002;host{i}:6004"')
    elif kind == 1:
        lines.append(f'"number {i:05}"=dword:{i:08x}')
    elif kind == 2:
        lines.append(f'"bytes {i:05}"=hex:' + ",".join(f"{(i + b) % 256:02x}" for b in range(16)))
    else:
        data = "".join(f"{ord(c):02x},00," for c in f"a{i}") + "00,00,62,00,00,00,00,00"
        lines.append(f'"list {i:05}"=hex(7):{data}')
with open(sys.argv[1], "wb") as f:
    f.write(b"\xff\xfe" + ("\r\n".join(lines) + "\r\n").encode("utf-16-le"))
