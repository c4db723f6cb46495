#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need, or
# with arguments the packages named (what packaging or fuzzing needs besides).
# Idempotent: does nothing when everything is already there.
set -euo pipefail
PACKAGES=("$@")
[ ${#PACKAGES[@]} -gt 0 ] || PACKAGES=(
  cmake ninja-build pkg-config g++ ccache
  qt6-base-dev qt6-tools-dev qt6-tools-dev-tools libqt6sql6-sqlite qt6-charts-dev libqt6opengl6-dev
  qt6-translations-l10n
  libsqlcipher-dev libssl-dev
  libbenchmark-dev
  fonts-ipafont-gothic fonts-ipafont-mincho
  xvfb xauth
  poppler-utils
  python3
)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "root か sudo が必要です: ${missing[*]}" >&2; exit 1; }
  SUDO=sudo
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends "${missing[@]}"
