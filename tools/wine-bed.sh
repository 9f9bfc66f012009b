# Sourced by run-tests.sh and run-product.sh: a private Wine prefix made afresh, a virtual X
# display and a persistent wineserver, all torn down by wine_bed_stop.
# Needs: BUILD_DIR (the prefix and the CD-ROM folders go below it, or below WINE_BED_DIR when set),
# BIN_DIR (put on WINEPATH). With VN_KEEP_DISPLAY set, the caller's DISPLAY is used; with
# VN_NO_CDROMS set, the prefix gets none of the test bed's prepared CD-ROM drives. With
# WINE_BED_TEMPLATE naming a prefix made by `wineboot -i`, the new prefix is a copy of it (making
# one takes minutes in the emulated guest).
# Sets: VN_WINE, WINEPREFIX, WINEARCH, DISPLAY, WINEPATH, VNTEST_CDROM_ROOT.

# True when this machine's kernel runs 32-bit programs (some virtual machines disable it).
wine_bed_can_run_32bit() {
  /usr/lib/wine/wine --version >/dev/null 2>&1
}

wine_bed_start() {
  local bed="${WINE_BED_DIR:-$BUILD_DIR}"
  local prefix="$bed/wineprefix"
  if wine_bed_can_run_32bit; then
    export VN_WINE=/usr/lib/wine/wine WINEARCH=win32
  else
    export VN_WINE=/usr/lib/wine/wine64 WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
  fi
  export WINEPREFIX="$prefix" WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export VNTEST_CDROM_ROOT="$bed/cdrom"
  export WINEPATH="Z:${BIN_DIR//\//\\}"

  # A display of our own (never the user's), with a free number.
  if [ -z "${VN_KEEP_DISPLAY:-}" ]; then
    local fifo; fifo=$(mktemp -u); mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    VN_XVFB_PID=$!
    local num=""; read -r -t 20 num <"$fifo" || true
    rm -f "$fifo"
    if [ -z "$num" ]; then echo "wine-bed: Xvfb did not start" >&2; return 1; fi
    export DISPLAY=":$num"
  fi

  # Fresh prefix for every run; the server stays up for the run (cheap program starts).
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$prefix" "$VNTEST_CDROM_ROOT"
  mkdir -p "$VNTEST_CDROM_ROOT"/cdrom-{r,s,t} "$prefix"
  if [ -n "${WINE_BED_TEMPLATE:-}" ]; then
    cp -a "$WINE_BED_TEMPLATE/." "$prefix/"
    wineserver -p
  else
    wineserver -p
    "$VN_WINE" wineboot -i >/dev/null 2>&1
  fi

  local reg="$bed/wine-bed.reg"
  cat >"$reg" <<REG
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Wine]
"Version"="${VN_WINE_VERSION:-winxp}"

[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]
"Managed"="N"
"Decorated"="N"

[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]
"Arial"="Liberation Sans"
"Times New Roman"="Liberation Serif"
"Courier New"="Liberation Mono"

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug]
"Debugger"="false"

REG
  # Wine's version switch leaves out the system's own version text of the 9x family, by which
  # programs tell Windows Me from 98.
  local number=""
  case "${VN_WINE_VERSION:-}" in
    win95) number=4.00.950 ;; win98) number=4.10.2222 ;; winme) number=4.90.3000 ;;
  esac
  if [ -n "$number" ]; then
    printf '\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion]\n"VersionNumber"="%s"\n' "$number" >>"$reg"
  fi
  if [ -z "${VN_NO_CDROMS:-}" ]; then
    printf '\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Drives]\n"r:"="cdrom"\n"s:"="cdrom"\n"t:"="cdrom"\n' >>"$reg"
    local l
    for l in r s t; do ln -sfn "$VNTEST_CDROM_ROOT/cdrom-$l" "$prefix/dosdevices/$l:"; done
  fi
  "$VN_WINE" regedit /S "Z:${reg//\//\\}" >/dev/null 2>&1
  # Restart the server so that every setting above is read afresh.
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w 2>/dev/null || true
  wineserver -p
  # Start the prefix's background services now, detached from any test's output: a service
  # started by the first test would hold that test's output pipe open for the whole run.
  "$VN_WINE" wineboot </dev/null >/dev/null 2>&1
}

wine_bed_stop() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "${VN_XVFB_PID:-}" ]; then kill "$VN_XVFB_PID" 2>/dev/null || true; wait "$VN_XVFB_PID" 2>/dev/null || true; fi
}
