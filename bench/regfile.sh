#!/usr/bin/env bash
# portwright-cli import and export of one key with 10,000 values (REG_SZ,
# REG_DWORD, REG_BINARY, REG_MULTI_SZ in turn), process start to exit, in a
# temporary prefix: the file's size and the median of RUNS runs each.
# Usage: bench/regfile.sh [BUILD_DIR] [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-3}
cli=$build/cli/portwright-cli
[ -x "$cli" ] || { echo "no $cli; build it first"; exit 0; }
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
export PORTWRIGHT_PREFIX=$prefix

python3 - "$cli" "$prefix" "$runs" <<'PY'
import os, statistics, subprocess, sys, time
cli, prefix, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
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
        data = "".join(f"{ord(c):02x},00," for c in f"a{i}") + "00,00," + "".join(f"{ord(c):02x},00," for c in "b") + "00,00,00,00"
        lines.append(f'"list {i:05}"=hex(7):{data}')
source = os.path.join(prefix, "source.reg")
with open(source, "wb") as f:
    f.write(b"\xff\xfe" + ("\r\n".join(lines) + "\r\n").encode("utf-16-le"))
exported = os.path.join(prefix, "exported.reg")

def timed(argv):
    start = time.perf_counter()
    subprocess.run(argv, stdout=subprocess.DEVNULL, check=True)
    return (time.perf_counter() - start) * 1000

key = "HKEY_LOCAL_MACHINE\\SOFTWARE\\PortwrightBench"
imports, exports, again = [], [], []
for _ in range(runs):
    subprocess.run([cli, "import", "/dev/stdin"], input=b"REGEDIT4\r\n[-" + key.encode() + b"]\r\n",
                   stdout=subprocess.DEVNULL, check=True)
    imports.append(timed([cli, "import", source]))
    exports.append(timed([cli, "export", exported, "--key", key]))
    again.append(timed([cli, "import", "--dry-run", exported]))
size = os.path.getsize(exported)
print(f"10,000 values: exported file {size:,} bytes ({size / 10000:.0f} bytes a value), source {os.path.getsize(source):,} bytes")
for name, samples in (("import (key new)", imports), ("export", exports), ("import --dry-run (no changes)", again)):
    print(f"{name:30} median {statistics.median(samples):8.1f} ms   min {min(samples):8.1f} ms   ({runs} runs)")
PY
