#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest. In CI
# the whole suite also runs under AddressSanitizer and UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh Release
if [ ! -e build/release/Numbers3Peridon.mdb ]; then
  build/release/peridon-cli init --db build/release/Numbers3Peridon.mdb
fi
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build/release --output-on-failure -j 2
if [ "${CI:-}" = "true" ] || [ "${PERIDON_SANITIZE:-}" = "1" ]; then
  scripts/build.sh Sanitize
  ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build/sanitize --output-on-failure -j 2
fi
