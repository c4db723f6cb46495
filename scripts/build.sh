#!/usr/bin/env bash
# Configures and builds one of the presets of CMakePresets.json into
# build/<preset>. Usage: scripts/build.sh [Release|Debug|Sanitize]
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-Release}
preset=${preset,,}
extra=()
[ "${CI:-}" = "true" ] && extra+=(-DPERIDON_WERROR=ON)
cmake --preset "$preset" "${extra[@]}" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)"
