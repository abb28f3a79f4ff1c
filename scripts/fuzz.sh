#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang and the sanitizers, and
# runs each for FUZZ_SECONDS (default 30) on a seed corpus taken from
# cases/ and fuzz/seeds/. Without clang it says so and does nothing.
# A finding (crash, sanitizer report, timeout, memory blow-up) is left in
# $BUILD_DIR/findings/ and makes the script fail.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-$root/build-fuzz}
seconds=${FUZZ_SECONDS:-30}

cxx=""
for candidate in clang++ clang++-14; do
  if command -v "$candidate" >/dev/null 2>&1; then cxx=$candidate; break; fi
done
if [ -z "$cxx" ]; then
  echo "fuzz: clang++ is not installed; the fuzz targets are skipped"
  exit 0
fi
cc=${cxx/clang++/clang}

targets="fuzz_template fuzz_formatted_read fuzz_case_file fuzz_problem_file fuzz_matpower_read
         fuzz_raw_read fuzz_solve_matpower fuzz_solve_case"
CC=$cc CXX=$cxx cmake -S "$root" -B "$build" -DCORVO_FUZZ=ON -DCORVO_GUI=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# shellcheck disable=SC2086
cmake --build "$build" --target $targets -j"$(nproc)"

# Seeds: the corpus folders keep what earlier runs found interesting. A
# seed is named after its folder too, so that files of one name from two
# folders both go in.
seed() {  # target files...
  local dir=$build/corpus/$1 file
  shift
  mkdir -p "$dir"
  for file in "$@"; do
    cp "$file" "$dir/$(basename "$(dirname "$file")")-$(basename "$file")"
  done
}
seed fuzz_template "$root"/fuzz/seeds/templates/*
seed fuzz_formatted_read "$root"/fuzz/seeds/formatted/*
seed fuzz_case_file "$root"/cases/*.dat "$root"/cases/variants/*.dat
seed fuzz_problem_file "$root"/cases/twobus.ip
seed fuzz_matpower_read "$root"/cases/matpower/*.m "$root"/corvo/import/tests/data/*.m
seed fuzz_raw_read "$root"/fuzz/seeds/raw/*
seed fuzz_solve_matpower "$root"/cases/matpower/*.m "$root"/corvo/import/tests/data/*.m "$root"/corvo/app/tests/data/*.m
seed fuzz_solve_case "$root"/cases/*.dat "$root"/cases/variants/*.dat

# Targets that read MATPOWER text get its tokens as a dictionary.
dictionary() {  # target
  case $1 in
    fuzz_matpower_*) echo "-dict=$root/fuzz/matpower.dict" ;;
  esac
}

mkdir -p "$build/findings"
status=0
for target in $targets; do
  echo "== fuzz: $target for ${seconds}s"
  if ! (cd "$build/findings" && \
        ASAN_OPTIONS=abort_on_error=1:detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        "$build/fuzz/$target" "$build/corpus/$target" -max_total_time="$seconds" $(dictionary "$target") \
          -timeout=10 -rss_limit_mb=2048 -max_len=16384 -print_final_stats=1 \
          -artifact_prefix="$build/findings/$target-" 2>"$build/findings/$target.log"); then
    echo "fuzz: $target found a fault; see $build/findings/$target.log"
    tail -40 "$build/findings/$target.log"
    status=1
  else
    grep -E "stat::number_of_executed_units|cov:" "$build/findings/$target.log" | tail -2
  fi
done
exit $status
