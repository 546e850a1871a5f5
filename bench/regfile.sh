#!/usr/bin/env bash
# portwright-cli import and export of one key with 10,000 values (REG_SZ,
# REG_DWORD, REG_BINARY, REG_MULTI_SZ in turn), process start to exit, in a
# temporary prefix: the file's size and the median of RUNS runs each. Beside
# the import, in turn with it: the sqlite3 program inserting the same 10,000
# rows in one transaction into an empty database of the store's schema (WAL,
# synchronous=FULL, as the store), and the ratio of the two.
# Usage: bench/regfile.sh [BUILD_DIR] [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-3}
cli=$build/cli/portwright-cli
[ -x "$cli" ] || { echo "no $cli; build it first"; exit 0; }
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
export PORTWRIGHT_PREFIX=$prefix

python3 "$(dirname "$0")/make-bench-reg.py" "$prefix/source.reg"
python3 - "$cli" "$prefix" "$runs" <<'PY'
import os, statistics, subprocess, sys, time
cli, prefix, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
source = os.path.join(prefix, "source.reg")  # made by make-bench-reg.py
exported = os.path.join(prefix, "exported.reg")

def timed(argv):
    start = time.perf_counter()
    subprocess.run(argv, stdout=subprocess.DEVNULL, check=True)
    return (time.perf_counter() - start) * 1000

key = "HKEY_LOCAL_MACHINE\\SOFTWARE\\PortwrightBench"
store = os.path.join(prefix, "registry.db")


def baseline_sql():
    # The rows as the import left them (its key and its values), inserted again
    # by sqlite3 in one transaction, with the store's connection settings.
    def rows(sql):
        return subprocess.run(["sqlite3", store, sql], capture_output=True, text=True, check=True).stdout
    schema = rows(".schema").replace("sqlite_sequence(name,seq)", "unused(x)")
    bench = "(SELECT id FROM keys WHERE name = CAST('PortwrightBench' AS BLOB))"
    columns = "id || ',' || quote(parent) || ',' || quote(name) || ',' || quote(folded) || ',' || " \
              "quote(class) || ',' || volatile || ',' || written || ');'"
    others = rows(f"SELECT 'INSERT INTO keys VALUES(' || {columns} FROM keys WHERE id != {bench}")
    key = rows(f"SELECT 'INSERT INTO keys VALUES(' || {columns} FROM keys WHERE id = {bench}")
    values = rows("SELECT 'INSERT INTO vals VALUES(' || key || ',' || seq || ',' || quote(folded) || ',' || "
                  f"quote(name) || ',' || type || ',' || quote(data) || ');' FROM vals WHERE key = {bench}")
    assert values.count("\n") == 10000, values.count("\n")
    setup = "PRAGMA journal_mode=WAL;\n" + schema + others
    pragmas = "PRAGMA foreign_keys=ON;\nPRAGMA synchronous=FULL;\nPRAGMA cache_size=-16384;\n"
    return setup, pragmas + "BEGIN;\n" + key + values + "COMMIT;\n"


imports, exports, again, baseline = [], [], [], []
sql = None
for _ in range(runs):
    subprocess.run([cli, "import", "/dev/stdin"], input=b"REGEDIT4\r\n[-" + key.encode() + b"]\r\n",
                   stdout=subprocess.DEVNULL, check=True)
    imports.append(timed([cli, "import", source]))
    if sql is None:
        sql = baseline_sql()
    empty = os.path.join(prefix, "baseline.db")
    for suffix in ("", "-wal", "-shm"):
        if os.path.exists(empty + suffix):
            os.remove(empty + suffix)
    subprocess.run(["sqlite3", empty], input=sql[0], text=True, stdout=subprocess.DEVNULL, check=True)
    with open(os.path.join(prefix, "rows.sql"), "w") as f:
        f.write(sql[1])
    baseline.append(timed(["sqlite3", empty, ".read " + os.path.join(prefix, "rows.sql")]))
    exports.append(timed([cli, "export", exported, "--key", key]))
    again.append(timed([cli, "import", "--dry-run", exported]))
size = os.path.getsize(exported)
print(f"10,000 values: exported file {size:,} bytes ({size / 10000:.0f} bytes a value), source {os.path.getsize(source):,} bytes")
for name, samples in (("import (key new)", imports), ("sqlite3, same rows, 1 transaction", baseline),
                      ("export", exports), ("import --dry-run (no changes)", again)):
    print(f"{name:34} median {statistics.median(samples):8.1f} ms   min {min(samples):8.1f} ms   ({runs} runs)")
print(f"import / sqlite3: {statistics.median(imports) / statistics.median(baseline):.2f}x (medians; the aim is 3x or less)")
PY
