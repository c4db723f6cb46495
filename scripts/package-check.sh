#!/usr/bin/env bash
# Proves on a fresh Debian 12 that the program installs like a desktop
# program: builds the packages (scripts/package.sh, which also has lintian
# check the .deb for errors), installs the .deb with apt, and as a new user
# with no database runs `peridon-cli stats` (which creates the per-user
# database from the shipped history) and `peridon` offscreen for 5 seconds.
# Then the portable folder: unpacked, it keeps its own database and creates
# nothing in the user's folder. Needs root; meant for a throw-away machine
# (it installs the package and adds a user), e.g. a fresh chroot.
set -euo pipefail
cd "$(dirname "$0")/.."
[ "$(id -u)" -eq 0 ] || { echo "root で実行してください" >&2; exit 1; }

step() { echo "== $*"; }
fail() { echo "FAILED: $*" >&2; exit 1; }

step "packages"
scripts/package.sh
deb=$(ls "$PWD"/build/package/peridon_*.deb)
tgz=$(ls "$PWD"/build/package/peridon-*-portable-*.tar.gz)

step "apt-get install $deb"
export DEBIAN_FRONTEND=noninteractive
apt-get install -y "$deb"
for f in /usr/bin/peridon /usr/bin/peridon-cli "/usr/share/peridon/ナンバーズ3ペリドン.chm" \
  /usr/share/peridon/numbers3-history.csv /usr/share/applications/jp.peridon.Numbers3Peridon.desktop \
  /usr/share/metainfo/jp.peridon.Numbers3Peridon.metainfo.xml \
  /usr/share/icons/hicolor/48x48/apps/jp.peridon.Numbers3Peridon.png \
  /usr/share/man/man1/peridon-cli.1.gz; do
  [ -e "$f" ] || fail "not installed: $f"
done
desktop-file-validate /usr/share/applications/jp.peridon.Numbers3Peridon.desktop

user=peridon-check
id "$user" >/dev/null 2>&1 || useradd --create-home "$user"
as_user() { runuser -l "$user" -c "$*"; }
data=$(eval echo "~$user")/.local/share/peridon

step "peridon-cli stats as a user without a database"
[ ! -e "$data/Numbers3Peridon.mdb" ] || fail "the user already has a database"
as_user "peridon-cli stats" > /tmp/peridon-stats.json 2> /tmp/peridon-stats.err
cat /tmp/peridon-stats.err
grep -q '"lastDrawNo":[1-9]' /tmp/peridon-stats.json || fail "stats: $(cat /tmp/peridon-stats.json)"
[ -f "$data/Numbers3Peridon.mdb" ] || fail "no per-user database in $data"
# Told once: a second run says nothing more.
as_user "peridon-cli stats" > /dev/null 2> /tmp/peridon-stats2.err
[ ! -s /tmp/peridon-stats2.err ] || fail "second run: $(cat /tmp/peridon-stats2.err)"

step "peridon offscreen stays up 5 s"
set +e
as_user "QT_QPA_PLATFORM=offscreen timeout 5 peridon"
rc=$?
set -e
[ "$rc" -eq 124 ] || fail "peridon ended early with status $rc"

step "the portable folder"
portable=$(mktemp -d)
tar -C "$portable" -xzf "$tgz"
chown -R "$user" "$portable"
rm -rf "$data"
[ -f "$portable/peridon/Numbers3Peridon.mdb" ] && [ -f "$portable/peridon/portable" ] ||
  fail "the portable folder lacks its database or its marker"
as_user "$portable/peridon/peridon-cli stats" | grep -q '"lastDrawNo":[1-9]' || fail "portable stats"
[ ! -e "$data" ] || fail "the portable program wrote to $data"
echo "package check: OK"
