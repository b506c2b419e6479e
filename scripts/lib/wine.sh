# Shared shell functions: the Wine prefix, a private Xvfb display and a
# persistent wineserver for running Framewick and its tests headless.
# Sourced by the other scripts; expects FW_ROOT to be set.

FW_BUILD=${FW_BUILD:-$FW_ROOT/build}

# Picks the architecture Wine can run here. 32-bit Wine needs the kernel's
# 32-bit support; where that is switched off (ia32_emulation=off) the 64-bit
# build runs under 64-bit Wine instead.
fw_detect_arch() {
  if [ -n "${FW_ARCH:-}" ]; then :;
  elif /usr/lib/wine/wine --version >/dev/null 2>&1; then FW_ARCH=i686;
  else FW_ARCH=x86_64; fi
  if [ "$FW_ARCH" = i686 ]; then
    WINE=/usr/lib/wine/wine
    WINEARCH=win32
  else
    WINE=/usr/lib/wine/wine64
    WINEARCH=win64
    export WINELOADER=$WINE
  fi
  if [ -x /usr/lib/wine/wineserver64 ] && /usr/lib/wine/wineserver64 --version >/dev/null 2>&1; then
    WINESERVER=/usr/lib/wine/wineserver64
  else
    WINESERVER=/usr/lib/wine/wineserver32
  fi
  export FW_ARCH WINE WINEARCH WINESERVER
  export WINEPREFIX=${WINEPREFIX:-$FW_BUILD/wine-$FW_ARCH}
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES="mscoree,mshtml="
}

# Unix path to the path Wine programs see (drive Z: is the Unix root).
fw_winpath() {
  printf 'Z:%s' "$1" | tr '/' '\\'
}

# Creates the prefix once; later runs reuse it.
fw_prefix() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.framewick-ready" ]; then
      echo "wine: creating the $WINEARCH prefix in $WINEPREFIX"
      rm -rf "$WINEPREFIX"
      DISPLAY= "$WINE" wineboot -i >/dev/null 2>&1 || true
      "$WINESERVER" -w
      cat > "$WINEPREFIX/framewick.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"Decorated"="Y"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\Drivers]
"Audio"=""
REG
      DISPLAY= "$WINE" regedit /S "$(fw_winpath "$WINEPREFIX/framewick.reg")" >/dev/null 2>&1
      "$WINESERVER" -w
      touch "$WINEPREFIX/.framewick-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
}

# Starts a private Xvfb on the first free display from 90 up.
# Sets DISPLAY and FW_XVFB_PID.
fw_xvfb_start() {
  local size=${1:-1024x768x24} n=90
  while [ $n -lt 400 ]; do
    if [ ! -e /tmp/.X$n-lock ] && [ ! -e /tmp/.X11-unix/X$n ]; then
      Xvfb :$n -screen 0 "$size" -nolisten tcp -noreset >/dev/null 2>&1 &
      FW_XVFB_PID=$!
      local i=0
      while [ $i -lt 100 ]; do
        if [ -e /tmp/.X11-unix/X$n ]; then
          export DISPLAY=:$n
          return 0
        fi
        if ! kill -0 $FW_XVFB_PID 2>/dev/null; then break; fi
        sleep 0.05
        i=$((i + 1))
      done
      kill $FW_XVFB_PID 2>/dev/null || true
    fi
    n=$((n + 1))
  done
  echo "could not start Xvfb" >&2
  return 1
}

fw_xvfb_stop() {
  if [ -n "${FW_XVFB_PID:-}" ]; then
    kill "$FW_XVFB_PID" 2>/dev/null || true
    wait "$FW_XVFB_PID" 2>/dev/null || true
    FW_XVFB_PID=
  fi
}

# A persistent wineserver for the prefix, so each program starts quickly.
fw_wineserver_start() {
  "$WINESERVER" -p
}

fw_wineserver_stop() {
  "$WINESERVER" -k 2>/dev/null || true
  "$WINESERVER" -w 2>/dev/null || true
}
