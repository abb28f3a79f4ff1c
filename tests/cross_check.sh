#!/usr/bin/env bash
# Runs orsa and talven on one case file, then the independent transcription
# scripts/reference_talven.py on the same orsa.ip, and compares talven.flw
# and the iteration lines of the console byte for byte.
#
# usage: cross_check.sh ORSA TALVEN PYTHON CASE.dat
set -euo pipefail
orsa=$1 talven=$2 python=$3 case_file=$4
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
name=$(basename "$case_file" .dat)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$case_file" "$work/$name.dat"
cd "$work"
echo "$name" | "$orsa" >orsa.console
"$talven" >talven.console
"$python" "$here/../scripts/reference_talven.py" orsa.ip reference.flw reference.console
grep '^Iteration' talven.console >talven.iterations
grep '^Iteration' reference.console >reference.iterations
status=0
cmp talven.flw reference.flw || { diff talven.flw reference.flw | head -20; status=1; }
cmp talven.iterations reference.iterations ||
  { diff talven.iterations reference.iterations | head -20; status=1; }
[ $status -eq 0 ] && echo "$name: talven.flw and $(wc -l <talven.iterations) iteration lines agree"
exit $status
