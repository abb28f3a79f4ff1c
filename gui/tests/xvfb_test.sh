#!/usr/bin/env bash
# Starts the real corvogui on an X server of its own (Xvfb) with a case to
# open and solve at start, and checks that the main window and the results
# window appear and that the program is still running. With SCREENSHOTS set
# to a folder (and GRAB_WINDOW to the grab_window program) it also saves
# main.png, results.png and network.png there.
#
#   xvfb_test.sh CORVOGUI CASE.dat
#
# Exit status: 0 both windows appeared; 1 they did not; 77 (skipped)
# without xvfb-run, xauth or xwininfo.
set -uo pipefail
corvogui=$1
case_file=$2
name=$(basename "$case_file" .dat)

for tool in xvfb-run xauth xwininfo; do
  if ! command -v "$tool" >/dev/null; then
    echo "$tool is not installed (scripts/setup.sh installs it): skipped"
    exit 77
  fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Recent files go to a settings file of the test's own.
export XDG_CONFIG_HOME="$work"
export XDG_RUNTIME_DIR="$work"

# Inside the X session: start the program, wait up to 30 s for the two
# windows, take the screenshots, end the program.
session='
  "$CORVOGUI" --solve "$CASE_FILE" >"$WORK/corvogui.log" 2>&1 &
  pid=$!
  main="" results=""
  for _ in $(seq 1 150); do
    tree=$(xwininfo -root -tree 2>/dev/null)
    main=$(grep -F "\"CORVO - Interface Gr" <<<"$tree" | awk "{print \$1}" | head -n 1)
    results=$(grep -F "\"Resultados - $NAME\"" <<<"$tree" | awk "{print \$1}" | head -n 1)
    [ -n "$main" ] && [ -n "$results" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.2
  done
  status=1
  if [ -n "$main" ] && [ -n "$results" ] && kill -0 "$pid" 2>/dev/null; then
    echo "main window $main and results window $results are up"
    status=0
    if [ -n "${SCREENSHOTS:-}" ]; then
      sleep 3  # the picture is laid out and drawn after the tables
      # The network picture stands at the right of the 1200 x 780 results
      # window, its legend below it.
      "$GRAB_WINDOW" "$SCREENSHOTS/main.png" "$main" &&
        "$GRAB_WINDOW" "$SCREENSHOTS/results.png" "$results" &&
        "$GRAB_WINDOW" "$SCREENSHOTS/network.png" "$results" 522 131 670 640 || status=1
    fi
  else
    echo "the windows did not appear (main: ${main:-none}, results: ${results:-none})"
    xwininfo -root -tree 2>/dev/null | grep -F "\"" | head -n 20
    cat "$WORK/corvogui.log"
  fi
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  exit $status
'
CORVOGUI=$corvogui CASE_FILE=$case_file NAME=$name WORK=$work GRAB_WINDOW=${GRAB_WINDOW:-} \
  xvfb-run -a -s "-screen 0 1600x1000x24" bash -c "$session"
