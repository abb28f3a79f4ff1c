#!/usr/bin/env bash
# Times the robust method, whole process (read, build, pre-check, solve),
# on the large public cases (../shared/cases/large) and on a generated
# 10 000-bus network, and prints a table. Builds bench_robust and
# synthetic_case into the build folder (BUILD_DIR, default build/) if
# needed. Measures only; nothing is asserted.
#
# Usage: bench/run_large.sh [BUSES of the synthetic network, default 10000] [SEED, default 1]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-$root/build}
cases=$root/../shared/cases/large
buses=${1:-10000}
seed=${2:-1}

if [[ ! -f $build/CMakeCache.txt ]]; then
  cmake -S "$root" -B "$build" -DCORVO_GUI=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" --target bench_robust synthetic_case -j2 >/dev/null

generated=$build/bench_cases/synthetic$buses-$seed.dat
mkdir -p "$(dirname "$generated")"
"$build/bench/synthetic_case" "$buses" "$seed" >"$generated.tmp"
mv "$generated.tmp" "$generated"

files=()
if [[ -d $cases ]]; then
  files+=("$cases"/*.dat)
else
  echo "note: $cases not found; timing the synthetic network only" >&2
fi
files+=("$generated")

printf '%-22s %6s %6s %6s %5s %16s %-10s %8s %8s\n' \
  case buses lines gens iter 'cost ($/h)' status 'time (s)' 'peak MB'
for f in "${files[@]}"; do
  read -r n nl _ < <(sed -n 2p "$f")
  gens=$(awk -v n="$n" -v nl="$nl" '{ sub(/\r$/, "") } NR > 2 + nl { for (i = 1; i <= NF; i++) { if (seen < n) { if ($i != 0) g++; seen++ } } } seen >= n { exit } END { print g + 0 }' "$f")
  # Whole-process wall time, and peak resident memory from the kernel.
  started=$EPOCHREALTIME
  out=$( { /usr/bin/time -f '%M' "$build/bench/bench_robust" "$f"; } 2>&1 ) || true
  wall=$(echo "$EPOCHREALTIME - $started" | bc -l)
  result=$(head -n 1 <<<"$out")
  kb=$(tail -n 1 <<<"$out")
  read -r name iter cost status _ <<<"$result"
  printf '%-22s %6s %6s %6s %5s %16s %-10s %8.3f %8.1f\n' \
    "$name" "$n" "$nl" "$gens" "$iter" "$cost" "$status" "$wall" "$(echo "$kb / 1024" | bc -l)"
done
