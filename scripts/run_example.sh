#!/usr/bin/env bash
# Set-up (scripts/setup.sh), then the main job on the bundled example case
# caso1 (two buses, one generator): orsa builds the quadratic program from
# cases/caso1.dat, talven solves it, the case report is printed, and
# last the results as corvo reports them (MW, $/MWh, optimality check).
# The files of the run stay in build/example/.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-$root/build}
BUILD_DIR=$build "$root/scripts/setup.sh"

work=$build/example
rm -rf "$work"
mkdir -p "$work"
cp "$root/cases/caso1.dat" "$work/"
cd "$work"
echo "caso1" | "$build/dispatch/orsa" >orsa.console
"$build/solver/talven" >talven.console
cat caso1.ip
echo
echo "(console of talven:)"
cat talven.console
echo
echo "(corvo report:)"
status=0
"$build/corvo/app/corvo" report || status=$?
exit $status
