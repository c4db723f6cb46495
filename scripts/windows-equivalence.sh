#!/usr/bin/env bash
# Checks that peridon-cli.exe (preset windows-cross, run under Wine) prints
# byte for byte what the Linux peridon-cli (build/release) prints, on the
# real history data/numbers3-history.csv:
#   - sheet of every window, and 一発ペリドン with --reflect 0 to 10;
#   - backtest --json, export and stats;
#   - pdf of three windows: the same page count and the same text, in the
#     order it is drawn (pdftotext -raw; the positions follow each system's
#     font metrics and may differ);
#   - a database made by either program opens in the other.
# Both programs work in a folder with Japanese characters in its name. The
# Linux program is built (peridon-cli alone) when build/release lacks it.
# Called by scripts/test-windows.sh, which builds the Windows program first.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

linux_cli=$root/build/release/peridon-cli
windows_cli=$root/build/windows-cross/peridon-cli.exe
winerun=$root/build/qt6.4.2-mingw64/bin/wine-run
[ -x "$windows_cli" ] || [ -f "$windows_cli" ] || { echo "$windows_cli がありません（scripts/test-windows.sh でビルドします）" >&2; exit 1; }
if [ ! -x "$linux_cli" ]; then
  cmake --preset release >/dev/null
  cmake --build --preset release -j "$(nproc)" --target peridon-cli
fi

if [ -z "${WINEPREFIX:-}" ]; then
  source scripts/wine-env.sh
  wine_env "$root/build/wine"
fi

work=$root/build/windows-equivalence/比較　フォルダー
rm -rf "$root/build/windows-equivalence"
mkdir -p "$work/linux" "$work/windows"
history=$root/data/numbers3-history.csv
# Fonts for the PDFs: the Linux program's fontconfig and the Windows
# program's QT_QPA_FONTDIR both see the same IPA fonts.
export QT_QPA_PLATFORM=offscreen

failures=0
checks=0
fail() {
  echo "違い: $*" >&2
  failures=$((failures + 1))
}

# run_both NAME ARGS...: runs both programs with ARGS and compares exit
# status, standard output and standard error byte for byte. In ARGS @DB@
# stands for each program's own database, @LDB@ and @WDB@ for the one the
# Linux or the Windows program made (as a path each program understands).
run_both() {
  local name=$1
  shift
  local largs=() wargs=() a
  for a in "$@"; do
    a=${a//@LDB@/@/linux/db.mdb}
    a=${a//@WDB@/@/windows/db.mdb}
    largs+=("$(l=${a//@DB@/$work/linux/db.mdb}; echo "${l//@\//$work/}")")
    wargs+=("$(w=${a//@DB@/Z:$work/windows/db.mdb}; echo "${w//@\//Z:$work/}")")
  done
  local l=$work/linux/$name w=$work/windows/$name
  local lstatus=0 wstatus=0
  "$linux_cli" "${largs[@]}" >"$l.out" 2>"$l.err" || lstatus=$?
  "$winerun" "$windows_cli" "${wargs[@]}" >"$w.out" 2>"$w.err" || wstatus=$?
  checks=$((checks + 1))
  if [ "$lstatus" != "$wstatus" ]; then
    fail "$name: 終了コード Linux $lstatus, Windows $wstatus"
    head -c 400 "$w.err" >&2
  fi
  if ! cmp -s "$l.out" "$w.out"; then
    fail "$name: 標準出力 ($(stat -c %s "$l.out") / $(stat -c %s "$w.out") バイト)"
    cmp "$l.out" "$w.out" >&2 || true
  fi
  if ! cmp -s "$l.err" "$w.err"; then
    fail "$name: 標準エラー出力"
    diff "$l.err" "$w.err" | head -5 >&2 || true
  fi
}

# Each program makes its database from the real history.
"$linux_cli" import "$history" --db "$work/linux/db.mdb" >/dev/null
"$winerun" "$windows_cli" import "Z:$history" --db "Z:$work/windows/db.mdb" >/dev/null

# The window names, from the Linux program's list.
mapfile -t windows < <("$linux_cli" sheet 2>&1 >/dev/null | sed -n 's/^  //p')
[ "${#windows[@]}" -eq 16 ] || { echo "ウィンドウが ${#windows[@]} 個です（16 個のはず）" >&2; exit 1; }
for i in "${!windows[@]}"; do
  run_both "sheet-${windows[$i]}" sheet "${windows[$i]}" --db @DB@
done
for n in 0 1 2 3 4 5 6 7 8 9 10; do
  run_both "reflect-$n" sheet 一発ペリドン --reflect "$n" --db @DB@
done
run_both backtest backtest --json --db @DB@
run_both export export --db @DB@
run_both stats stats --db @DB@

# A database made by one program opens in the other: each reads the other's
# file and prints what the other prints for it.
run_both linux-made-db export --db @LDB@
run_both windows-made-db export --db @WDB@
for side in linux windows; do
  cmp -s "$work/$side/linux-made-db.out" "$work/linux/export.out" || fail "$side: Linux で作ったデータベース"
  cmp -s "$work/$side/windows-made-db.out" "$work/linux/export.out" || fail "$side: Windows で作ったデータベース"
done

# PDFs: page count and text. (The files themselves differ: creation dates,
# and glyph positions where the two systems' font engines measure text
# differently.)
for name in 出現頻度分析 分割10データ分析 一発ペリドン; do
  lpdf=$work/linux/$name.pdf
  wpdf=$work/windows/$name.pdf
  lstatus=0 wstatus=0
  "$linux_cli" pdf "$name" "$lpdf" --db "$work/linux/db.mdb" 2>"$lpdf.err" || lstatus=$?
  "$winerun" "$windows_cli" pdf "$name" "Z:$wpdf" --db "Z:$work/windows/db.mdb" 2>"$wpdf.err" || wstatus=$?
  checks=$((checks + 1))
  if [ "$lstatus" != 0 ] || [ "$wstatus" != 0 ]; then
    fail "pdf $name: 終了コード Linux $lstatus, Windows $wstatus"
    cat "$wpdf.err" >&2
    continue
  fi
  lpages=$(pdfinfo "$lpdf" | sed -n 's/^Pages: *//p')
  wpages=$(pdfinfo "$wpdf" | sed -n 's/^Pages: *//p')
  [ "$lpages" = "$wpages" ] || fail "pdf $name: ページ数 Linux $lpages, Windows $wpages"
  pdftotext -raw "$lpdf" "$lpdf.txt"
  pdftotext -raw "$wpdf" "$wpdf.txt"
  cmp -s "$lpdf.txt" "$wpdf.txt" || fail "pdf $name: テキスト"
  echo "pdf $name: $lpages ページ"
done

if [ "$failures" -gt 0 ]; then
  echo "windows-equivalence: $checks 件中 $failures 件の違い（$work）" >&2
  exit 1
fi
echo "windows-equivalence: $checks 件すべて同じ（ウィンドウ ${#windows[@]} 個、--reflect 0〜10、backtest、export、stats、PDF 3 件、データベースの相互読み込み）"
