#!/usr/bin/env bash
# Installs what is missing, builds, creates the database from the shipped
# history when there is none, and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh Release
bin=build/release
if [ ! -e "$bin/Numbers3Peridon.mdb" ]; then
  "$bin/peridon-cli" init --db "$bin/Numbers3Peridon.mdb"
fi
cd "$bin"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "画面がありません。xvfb-run scripts/run.sh で起動してください。" >&2
  exit 1
fi
exec ./peridon "$@"
