#!/usr/bin/env bash
# The registry object's cache fill of this build beside a previous commit's,
# run alternately (three rounds, CPU time), so that a regression shows as a
# ratio whatever the machine's load. The previous build is made once, from
# `git archive`, in <build>/bench-baseline/<commit>.
#   PORTWRIGHT_BENCH_BASELINE: the commit to compare with (bf346f8, the store
#   before its layout 2, by default).
set -euo pipefail
build=${1:-build}
baseline=${PORTWRIGHT_BENCH_BASELINE:-bf346f8}
here=$build/bench/regop/bench_regop
[ -x "$here" ] || { echo "no $here: build bench_regop first"; exit 0; }
if ! commit=$(git rev-parse --short "$baseline^{commit}" 2>/dev/null); then
  echo "baseline $baseline is not a commit of this repository: no comparison"
  exit 0
fi
work=$build/bench-baseline/$commit
then=$work/build/bench/regop/bench_regop
if [ ! -x "$then" ]; then
  echo "building bench_regop of $commit in $work"
  rm -rf "$work" && mkdir -p "$work/src"
  git archive "$commit" | tar -x -C "$work/src"
  launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  cmake -S "$work/src" -B "$work/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >"$work/cmake.log"
  cmake --build "$work/build" --target bench_regop -j2 >"$work/build.log"
fi

# CPU milliseconds of BM_CacheFill/<n> from one run of a program.
measure() {
  "$1" --benchmark_filter='^BM_CacheFill/(10000|100000)$' --benchmark_min_time=0.2 \
    --benchmark_format=csv 2>/dev/null |
    awk -F, '/^"BM_CacheFill\// { split($1, n, "/"); sub(/"/, "", n[2]); print n[2], $4 }'
}
declare -A now was
for round in 1 2 3; do
  while read -r n ms; do now[$n]+="$ms "; done < <(measure "$here")
  while read -r n ms; do was[$n]+="$ms "; done < <(measure "$then")
done
median() { tr ' ' '\n' <<<"$1" | grep . | sort -g | sed -n 2p; }
printf '%-22s %12s %12s %8s\n' "cache fill (CPU ms)" "this build" "$commit" "ratio"
for n in 10000 100000; do
  a=$(median "${now[$n]}"); b=$(median "${was[$n]}")
  printf '%-22s %12.2f %12.2f %8.2f\n' "$n values" "$a" "$b" "$(awk -v a="$a" -v b="$b" 'BEGIN { print a / b }')"
done
awk -v a="$(median "${now[100000]}")" -v b="$(median "${now[10000]}")" \
  'BEGIN { printf "100,000 against 10,000 values, this build: %.1fx\n", a / b }'
