#!/usr/bin/env bash
# portwright-cli show, process start to exit, against sqlite3 <store> 'select 1'
# on the same store: alternately, RUNS times each, in a temporary prefix with
# ValidPorts written. The goal: show within twice the time of sqlite3.
# Usage: bench/cli-show.sh [BUILD_DIR] [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-200}
cli=$build/cli/portwright-cli
[ -x "$cli" ] || { echo "no $cli; build it first"; exit 0; }
command -v sqlite3 >/dev/null || { echo "sqlite3 is not installed (scripts/install-deps core)"; exit 1; }
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
export PORTWRIGHT_PREFIX=$prefix
"$cli" set >/dev/null

python3 - "$cli" "$prefix/registry.db" "$runs" <<'PY'
import statistics, subprocess, sys, time
cli, store, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
commands = {"portwright-cli show": [cli, "show"], "sqlite3 'select 1'": ["sqlite3", store, "select 1"]}
times = {name: [] for name in commands}
for _ in range(runs):
    for name, argv in commands.items():
        start = time.perf_counter()
        subprocess.run(argv, stdout=subprocess.DEVNULL, check=True)
        times[name].append((time.perf_counter() - start) * 1000)
for name, samples in times.items():
    samples.sort()
    print(f"{name:22} median {statistics.median(samples):6.2f} ms   "
          f"p10 {samples[len(samples) // 10]:6.2f} ms   p90 {samples[len(samples) * 9 // 10]:6.2f} ms")
ratio = statistics.median(times["portwright-cli show"]) / statistics.median(times["sqlite3 'select 1'"])
print(f"show / sqlite3: {ratio:.2f} (goal: at most 2.00)")
PY
