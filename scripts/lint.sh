#!/usr/bin/env bash
# Checks the tree's form: clang-format over every C++ file (src, tests,
# bench, fuzz) and clang-tidy with the root .clang-tidy over the program's
# sources. Prints each finding and exits 1 when there is any.
# Usage: scripts/lint.sh [--fix]   (--fix rewrites the formatting in place)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/deps.sh clang-format-14 clang-tidy-14
fmt=$(command -v clang-format-14 || command -v clang-format)
tidy=$(command -v clang-tidy-14 || command -v clang-tidy)

mapfile -t cxx < <(git ls-files -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' \
                                 'bench/*.cpp' 'bench/*.h' 'fuzz/*.cpp' 'fuzz/*.h')
status=0
if [ "${1:-}" = "--fix" ]; then
  "$fmt" -i "${cxx[@]}"
elif ! "$fmt" --dry-run -Werror "${cxx[@]}"; then
  status=1
fi

# clang-tidy reads the compile commands of the Release build.
[ -f build/release/compile_commands.json ] || scripts/build.sh Release
mapfile -t sources < <(git ls-files -- 'src/*.cpp')
out=$(mktemp)
trap 'rm -f "$out"' EXIT
printf '%s\n' "${sources[@]}" |
  xargs -P "$(nproc)" -n 4 "$tidy" -p build/release --quiet >"$out" 2>/dev/null || true
# Each header's findings come once per file that includes it: show each once.
findings=$(grep -E '(warning|error): ' "$out" | sort -u || true)
if [ -n "$findings" ]; then
  printf '%s\n' "$findings"
  echo "clang-tidy: $(printf '%s\n' "$findings" | wc -l) 件の指摘があります" >&2
  status=1
fi
[ "$status" -eq 0 ] && echo "lint: 指摘はありません"
exit "$status"
