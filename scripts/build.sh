#!/usr/bin/env bash
# Configures and builds one build type. Usage: scripts/build.sh [Release|Debug|Sanitize] [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
type=${1:-Release}
dir=${2:-build/${type,,}}
extra=()
case "$type" in
  Sanitize) extra+=(-DCMAKE_BUILD_TYPE=Debug -DPERIDON_SANITIZE=ON -DPERIDON_BENCH=OFF) ;;
  *) extra+=(-DCMAKE_BUILD_TYPE="$type") ;;
esac
[ "${CI:-}" = "true" ] && extra+=(-DPERIDON_WERROR=ON)
cmake -S . -B "$dir" -G Ninja "${extra[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)"
