#!/usr/bin/env bash
# Times the editor headless on ieee118, peg2869 and a 10 000-bus synthetic
# network (bench/synthetic_case 10000 1): open, bus grid shown and read
# back, solve until the results window is up, Graphviz layout, picture;
# with the event loop's worst stall during the open, the solve and the
# drawing. Measures only.
#
#   bench/run_gui_bench.sh            (BUILD_DIR: build folder, default build/)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-$root/build}
[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target bench_gui synthetic_case -j2 >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/synthetic_case" 10000 1 >"$work/synthetic10000.dat"
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} XDG_CONFIG_HOME="$work" \
  "$build/bench/bench_gui" "$root/cases/large/ieee118.dat" "$root/cases/large/peg2869.dat" \
  "$work/synthetic10000.dat" 2> >(grep -v "propagateSizeHints\|does not support raise\|XDG_RUNTIME_DIR" >&2)
