#!/usr/bin/env bash
# Set-up for a fresh Debian machine: installs the packages that are missing
# (only those), then configures and builds the project.
#
#   BUILD_DIR     build folder (default: build)
#   CMAKE_ARGS    extra arguments for the configure step
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-$root/build}

packages=(cmake make g++ libgtest-dev qt6-base-dev python3
          libcli11-dev nlohmann-json3-dev libsuitesparse-dev clang libclang-rt-14-dev
          qt6-svg-dev qt6-translations-l10n libgraphviz-dev xvfb xauth x11-utils
          libhdf5-dev openmpi-bin libopenmpi-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing missing packages: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# shellcheck disable=SC2086
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release ${CMAKE_ARGS:-} >/dev/null
if ! cmake --build "$build" -j"$(nproc)" >"$build/build.log" 2>&1; then
  tail -n 60 "$build/build.log"
  echo "Build failed; the whole log is $build/build.log" >&2
  exit 1
fi
