#!/bin/sh
# Runs one QtTest program under Wine for ctest: wine-test.sh WINE-RUN TEST.exe
# [ARGS...]. QtTest's output is lost when Wine's standard output is a pipe,
# so the test writes its log to a file beside the program, printed here
# afterwards; the test's exit status is passed on.
winerun=$1
program=$2
shift 2
log="${program%.exe}.log.txt"
rm -f "$log"
"$winerun" "$program" "$@" -o "Z:$log,txt"
status=$?
[ -f "$log" ] && cat "$log"
exit $status
