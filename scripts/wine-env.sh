# Sourced by the scripts that run Windows programs under Wine:
#   source scripts/wine-env.sh; wine_env FOLDER
# FOLDER becomes the Wine prefix (made on first use). The programs get Qt's
# offscreen platform, the Japanese fonts the Linux build uses (the offscreen
# platform on Windows reads fonts only from QT_QPA_FONTDIR), and per-user and
# temporary folders inside the prefix. One Wine server is kept running for
# the whole script, so each program starts in a fraction of a second, and is
# ended when the script ends.

wine_env() {
  local prefix=$1
  mkdir -p "$prefix"
  export WINEPREFIX=$prefix
  export WINEDEBUG=${WINEDEBUG:--all}
  # No dialogs offering to install Mono or Gecko on the prefix's first start.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEARCH=win64
  export QT_QPA_PLATFORM=offscreen
  # Paths Wine hands to Windows programs: drive Z: is the Unix file system.
  local fonts=$prefix/fonts
  mkdir -p "$fonts"
  local f
  for f in /usr/share/fonts/opentype/ipafont-gothic/*.ttf /usr/share/fonts/opentype/ipafont-mincho/*.ttf \
           /usr/share/fonts/truetype/dejavu/*.ttf; do
    [ -e "$f" ] && ln -sf "$f" "$fonts/"
  done
  export QT_QPA_FONTDIR="Z:$fonts"
  # TEMP, LOCALAPPDATA and APPDATA come from the prefix's registry (Wine
  # sets them there, under drive_c/users/), whatever the Unix environment
  # holds: the programs' temporary and per-user files stay inside the prefix.
  if [ ! -f "$prefix/system.reg" ]; then
    timeout 300 /usr/lib/wine/wine64 wineboot --init >/dev/null 2>&1 || true
  fi
  # Only one server can run for a prefix: the one that made the prefix, or
  # one left by an earlier run, lingers for a while. It is ended, and waited
  # for, before the persistent one starts (which otherwise fails at once).
  /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
  timeout 60 /usr/lib/wine/wineserver -w >/dev/null 2>&1 || true
  # A persistent server, ended when the calling script exits, and Wine's
  # background processes (services.exe and the rest) started once now. They
  # keep the standard output and error of the Windows program that made
  # them start: had a test started them, ctest would wait for that test's
  # output to end until its timeout (the "hang" of a test that passes alone).
  /usr/lib/wine/wineserver -p </dev/null >/dev/null 2>&1
  trap '/usr/lib/wine/wineserver -k >/dev/null 2>&1 || true' EXIT
  /usr/lib/wine/wine64 wineboot </dev/null >/dev/null 2>&1 || true
}
