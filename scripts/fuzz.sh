#!/usr/bin/env bash
# Builds the libFuzzer targets (the draw file readers and the settings file
# reader) with clang, AddressSanitizer and UndefinedBehaviorSanitizer into
# build/fuzz, then runs each for FUZZ_SECONDS seconds (default 60), starting
# from the seed inputs in fuzz/corpus. Exits non-zero on a finding; the input
# that caused it is left in build/fuzz as crash-*, leak-*, oom-* or timeout-*.
# Not part of scripts/test.sh: it takes minutes and needs clang.
# Usage: scripts/fuzz.sh [target...]   (default: fuzz_csv fuzz_settings)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh

# clang and its libFuzzer runtime.
scripts/deps.sh clang-14 libclang-rt-14-dev

seconds=${FUZZ_SECONDS:-60}
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(fuzz_csv fuzz_settings)

cmake -S . -B build/fuzz -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++-14 \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link" \
  -DPERIDON_FUZZ=ON -DPERIDON_SANITIZE=ON -DPERIDON_BENCH=OFF >/dev/null
cmake --build build/fuzz --target "${targets[@]}"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
for target in "${targets[@]}"; do
  seeds=fuzz/corpus/${target#fuzz_}
  # Inputs found along the way are kept between runs, apart from the seeds.
  corpus=build/fuzz/corpus/${target#fuzz_}
  mkdir -p "$corpus"
  echo "== $target: ${seconds} s"
  if ! (cd build/fuzz && "./$target" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
          -rss_limit_mb=2048 -print_final_stats=1 "../../$corpus" "../../$seeds"); then
    echo "$target: 問題が見つかりました（build/fuzz の crash-* などを参照）" >&2
    status=1
  fi
done
exit $status
