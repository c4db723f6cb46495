#!/usr/bin/env bash
# Builds the two packages from a clean Release build in build/package:
#   build/package/peridon_<version>_<arch>.deb            (installs under /usr)
#   build/package/peridon-<version>-portable-Linux.tar.gz  (the portable folder)
# and checks the menu entry, the metainfo and the .deb (lintian: no errors).
# Installs what it needs first (scripts/deps.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/deps.sh dpkg-dev file lintian desktop-file-utils appstream

# Files in the packages get their modes from the umask.
umask 022
out=build/package
rm -rf "$out"
cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPERIDON_BENCH=OFF \
  -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build "$out" -j "$(nproc)"
(cd "$out" && cpack)

desktop-file-validate packaging/jp.peridon.Numbers3Peridon.desktop
appstreamcli validate --no-net packaging/jp.peridon.Numbers3Peridon.metainfo.xml
deb=$(ls "$out"/peridon_*.deb)
lintian --fail-on error "$deb"
ls -l "$deb" "$out"/peridon-*-portable-*.tar.gz
