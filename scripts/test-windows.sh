#!/usr/bin/env bash
# Cross-builds peridon-cli, the core library and their tests for 64-bit
# Windows (mingw-w64, preset windows-cross), runs the tests under Wine, then
# checks that the Windows program prints what the Linux one prints
# (scripts/windows-equivalence.sh).
#
# The toolchain (Qt 6.4.2 and SQLCipher built for Windows) is unpacked into
# build/ from PERIDON_WINDOWS_TOOLCHAIN, by default
# ../shared/toolchains/qt6.4.2-mingw64.tar.xz beside the project.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
start=$SECONDS
# The compiler cache keys on paths relative to the checkout, so another
# clone of the same sources (CI's) reuses what an earlier build compiled.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(pwd)} CCACHE_NOHASHDIR=1

scripts/deps.sh
scripts/deps.sh g++-mingw-w64-x86-64-posix wine64 xz-utils

toolchain=build/qt6.4.2-mingw64
archive=${PERIDON_WINDOWS_TOOLCHAIN:-../shared/toolchains/qt6.4.2-mingw64.tar.xz}
if [ ! -f "$toolchain/mingw64-toolchain.cmake" ]; then
  [ -f "$archive" ] || { echo "Windows 用ツールチェーンがありません: $archive" >&2; exit 1; }
  mkdir -p build
  rm -rf "$toolchain"
  tar -xJf "$archive" -C build
fi

extra=()
[ "${CI:-}" = "true" ] && extra+=(-DPERIDON_WERROR=ON)
cmake --preset windows-cross "${extra[@]}" >/dev/null
cmake --build --preset windows-cross -j "$(nproc)"
echo "windows-cross: built after $((SECONDS - start)) s"

# Wine: a prefix of our own under build/, its per-user and temporary folders
# inside it, no display (the programs use Qt's offscreen platform), fonts
# from a folder of the Japanese fonts the Linux build uses too.
source scripts/wine-env.sh
wine_env "$root/build/wine"
echo "wine: prefix ready after $((SECONDS - start)) s"

ctest --preset windows-cross
echo "windows-cross: tests passed after $((SECONDS - start)) s"

scripts/windows-equivalence.sh
echo "test-windows.sh: all done in $((SECONDS - start)) s"
