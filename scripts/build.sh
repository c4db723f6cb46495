#!/usr/bin/env bash
# Configures and builds one of the presets of CMakePresets.json into
# build/<preset>. Usage: scripts/build.sh [Release|Debug|Sanitize]
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-Release}
# The compiler cache keys on paths relative to the checkout, so another
# clone of the same sources (CI's) reuses what an earlier build compiled.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(pwd)} CCACHE_NOHASHDIR=1
preset=${preset,,}
extra=()
[ "${CI:-}" = "true" ] && extra+=(-DPERIDON_WERROR=ON)
cmake --preset "$preset" "${extra[@]}" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)"
