# Shared shell functions: the Wine prefix, a private Xvfb display and a
# persistent wineserver for running Framewick and its tests headless.
# Sourced by the other scripts; expects FW_ROOT to be set.

. "$FW_ROOT/scripts/lib/build.sh"
. "$FW_ROOT/scripts/lib/engine.sh"

# Picks the engine (FW_WINE, scripts/lib/engine.sh) and the architecture
# Wine can run here. 32-bit Wine needs the kernel's 32-bit support; where
# that is switched off (ia32_emulation=off) the 64-bit build runs under
# 64-bit Wine instead. The same check holds for both engines: the Wine 10
# root has 32-bit Wine too, and only the kernel decides whether it starts.
# Under Wine 10 this makes the root first when it is not there yet.
fw_detect_arch() {
  FW_ENGINE=$(fw_engine) || return 1
  local dir=/usr/lib/wine
  if [ "$FW_ENGINE" = 10 ]; then
    fw_wine10_root || return 1
    fw_wine10_tools
    dir=$FW_BUILD/wine10/bin
  fi
  if [ -n "${FW_ARCH:-}" ]; then :;
  elif "$dir/wine" --version >/dev/null 2>&1; then FW_ARCH=i686;
  else FW_ARCH=x86_64; fi
  if [ "$FW_ARCH" = i686 ]; then
    WINE=$dir/wine
    WINEARCH=win32
  else
    WINE=$dir/wine64
    WINEARCH=win64
    export WINELOADER=$WINE
  fi
  if [ -x "$dir/wineserver64" ] && "$dir/wineserver64" --version >/dev/null 2>&1; then
    WINESERVER=$dir/wineserver64
  else
    WINESERVER=$dir/wineserver32
  fi
  export FW_ENGINE FW_ARCH WINE WINEARCH WINESERVER
  # A prefix of the build's own (FW_WINEPREFIX names another), one for each
  # engine, each system DPI (FW_DPI) and runs on several monitors
  # (FW_MONITORS): two Wine versions never share one. A WINEPREFIX of the
  # user's environment is left alone.
  export WINEPREFIX=${FW_WINEPREFIX:-$FW_BUILD/$(fw_engine_prefix_name)-$FW_ARCH${FW_DPI:+-dpi$FW_DPI}${FW_MONITORS:+-monitors}}
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES="mscoree,mshtml="
}

# The engine's part of the names of its prefixes and runs: "wine" and ""
# for the host's Wine 8 (the names they always had), "wine10" and "-wine10"
# for Wine 10.
fw_engine_prefix_name() {
  [ "${FW_ENGINE:-8}" = 10 ] && echo wine10 || echo wine
}
fw_engine_suffix() {
  [ "${FW_ENGINE:-8}" = 10 ] && echo -wine10 || true
}

# The engine and its version as it reports them: "Wine 8.0", "Wine 10.0".
fw_wine_name() {
  "$WINE" --version 2>/dev/null | sed -nE 's/^wine-([0-9][0-9.]*).*/Wine \1/p'
}

# Unix path to the path Wine programs see (drive Z: is the Unix root).
fw_winpath() {
  printf 'Z:%s' "$1" | tr '/' '\\'
}

# The prefix's registry settings; their hash is the prefix's readiness mark.
FW_PREFIX_REG=$FW_ROOT/scripts/lib/wine-prefix.reg

# The settings a prefix is made with: wine-prefix.reg, and the system DPI
# (display scaling) when FW_DPI asks for one other than Wine's 96.
fw_prefix_settings() {
  cat "$FW_PREFIX_REG"
  if [ -n "${FW_DPI:-}" ]; then
    printf '\n; The system DPI of this prefix (FW_DPI): %s %% scaling.\n' "$((FW_DPI * 100 / 96))"
    printf '[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:%08x\n' "$FW_DPI"
  fi
}

# Value names of a .reg file that the prefix's registry lacks, one a line
# ("key: name", or "key" for a missing key). Reads the registry files the
# server writes when it ends.
fw_prefix_lacks() {  # .reg file
  awk -v userreg="$WINEPREFIX/user.reg" -v systemreg="$WINEPREFIX/system.reg" '
    function load(file, root,   line, key) {
      while ((getline line < file) > 0) {
        sub(/\r$/, "", line)
        if (line ~ /^\[/) {
          key = substr(line, 2, index(line, "]") - 2)
          gsub(/\\\\/, "\\", key)  # the registry files double the separators
          key = tolower(root "\\" key)
          have[key] = 1
        } else if (key != "" && match(line, /^("([^"\\]|\\.)*"|@)=/)) {
          have[key SUBSEP tolower(substr(line, 1, RLENGTH - 1))] = 1
        }
      }
    }
    BEGIN {
      load(userreg, "HKEY_CURRENT_USER")
      load(systemreg, "HKEY_LOCAL_MACHINE")
    }
    { sub(/\r$/, "") }
    /^\[/ && index($0, "]") == 0 {
      print "(not a key) " $0
      key = ""
      next
    }
    /^\[HKEY_(CURRENT_USER|LOCAL_MACHINE)\\/ {
      name = substr($0, 2, index($0, "]") - 2)
      key = tolower(name)
      if (!(key in have)) print name
      next
    }
    /^\[/ { key = ""; next }
    key != "" && match($0, /^("([^"\\]|\\.)*"|@)=/) {
      value = substr($0, 1, RLENGTH - 1)
      if (!((key SUBSEP tolower(value)) in have)) print name ": " value
    }
  ' "$1"
}

# Makes the prefix, or makes it again when it is not ready: wineboot has
# not finished making it, or its registry lacks the settings of
# fw_prefix_settings, or it was made with other settings (its mark holds the
# hash of the settings it has). Later runs reuse a ready prefix.
fw_prefix() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  local want
  want=$(fw_prefix_settings | sha256sum | cut -d' ' -f1)
  (
    flock 9
    mark=$WINEPREFIX/.framewick-ready
    [ -f "$mark" ] && [ "$(cat "$mark")" = "$want" ] && exit 0
    log=$WINEPREFIX.log
    echo "wine: creating the $WINEARCH prefix in $WINEPREFIX"
    "$WINESERVER" -k 2>/dev/null  # a server that a stopped run left running on it
    rm -rf "$WINEPREFIX"
    if ! DISPLAY= "$WINE" wineboot -i >"$log" 2>&1 </dev/null || ! "$WINESERVER" -w ||
       [ ! -s "$WINEPREFIX/system.reg" ] || [ ! -s "$WINEPREFIX/user.reg" ]; then
      echo "wine: wineboot could not make the prefix $WINEPREFIX (see $log)" >&2
      exit 1
    fi
    fw_prefix_settings > "$WINEPREFIX/framewick.reg"
    DISPLAY= "$WINE" regedit /S "$(fw_winpath "$WINEPREFIX/framewick.reg")" >>"$log" 2>&1 </dev/null
    "$WINESERVER" -w
    # regedit says nothing about a failed import: read the settings back.
    lacking=$(fw_prefix_lacks "$WINEPREFIX/framewick.reg")
    if [ -n "$lacking" ]; then
      echo "wine: the prefix $WINEPREFIX did not take these settings of $FW_PREFIX_REG (see $log):" >&2
      printf '%s\n' "$lacking" | sed 's/^/  /' >&2
      exit 1
    fi
    echo "$want" > "$mark"
  ) 9>"$WINEPREFIX.lock"
}

# Several monitors: FW_MONITORS="WxH+X+Y ..." (X root coordinates, the
# first the primary; Wine puts the primary's top-left at 0,0, so a monitor
# left of or above it has negative coordinates). Xvfb has one RandR output,
# and its Xinerama stacks its screens at the root's origin, so such a
# display is a real X server with the dummy video driver
# (xserver-xorg-video-dummy), whose outputs xrandr sets to the monitors;
# Wine 8 and Wine 10 both read them through XRandR. Xorg needs root.
fw_monitors_config() {
  cat <<'EOF'
Section "ServerFlags"
  Option "DontVTSwitch" "true"
  Option "AllowMouseOpenFail" "true"
  Option "AutoAddDevices" "false"
  Option "AutoEnableDevices" "false"
EndSection
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 65536
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0 - 1000.0
  VertRefresh 5.0 - 200.0
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 4096 2048
  EndSubSection
EndSection
Section "ServerLayout"
  Identifier "layout"
  Screen "screen"
EndSection
EOF
}

# Sets the running X server's dummy outputs DUMMY0, DUMMY1, ... to the
# monitors FW_MONITORS names, the first the primary. The first output is
# the one connected from the start; each other one gets its size's mode
# (the dummy driver knows the standard sizes: 800x600, 1024x768,
# 1920x1080, ...) before one call places them all, as Wine reads them
# only so.
fw_monitors_layout() {
  local args="" i=0 m w h x y
  for m in $FW_MONITORS; do
    w=${m%%x*} m=${m#*x} h=${m%%+*} m=${m#*+} x=${m%%+*} y=${m#*+}
    if [ $i = 0 ]; then
      xrandr --output DUMMY0 --mode "${w}x$h" || return 1
      args="--output DUMMY0 --pos ${x}x$y --primary"
    else
      xrandr --addmode DUMMY$i "${w}x$h" || return 1
      args="$args --output DUMMY$i --mode ${w}x$h --pos ${x}x$y"
    fi
    i=$((i + 1))
  done
  [ $i -gt 0 ] || return 1
  # shellcheck disable=SC2086
  xrandr $args || return 1
  # A full query probes the outputs again, which marks those just given a
  # mode connected; Wine asks only for the current state, without a probe.
  xrandr --query >/dev/null
}

# Starts a private Xvfb on the first free display from 90 up (with
# FW_MONITORS, the dummy X server of those monitors instead).
# Sets DISPLAY and FW_XVFB_PID.
fw_xvfb_start() {
  local size=${1:-1024x768x24} n=90 config=$FW_BUILD/xorg-monitors.conf
  if [ -n "${FW_MONITORS:-}" ]; then
    if [ "$(id -u)" != 0 ] || ! command -v Xorg >/dev/null 2>&1; then
      echo "FW_MONITORS: several monitors need Xorg with the dummy driver, run as root" >&2
      return 1
    fi
    mkdir -p "$FW_BUILD"
    fw_monitors_config > "$config"
  fi
  while [ $n -lt 400 ]; do
    if [ ! -e /tmp/.X$n-lock ] && [ ! -e /tmp/.X11-unix/X$n ]; then
      if [ -n "${FW_MONITORS:-}" ]; then
        Xorg :$n -config "$config" -nolisten tcp -noreset -logfile "$FW_BUILD/xorg-$n.log" >/dev/null 2>&1 &
      else
        Xvfb :$n -screen 0 "$size" -nolisten tcp -noreset >/dev/null 2>&1 &
      fi
      FW_XVFB_PID=$!
      local i=0
      while [ $i -lt 100 ]; do
        # Ours only when its lock names this server: another run may have
        # started one on the same display a moment before.
        if [ -e /tmp/.X11-unix/X$n ] && [ "$(tr -d ' ' < /tmp/.X$n-lock 2>/dev/null)" = "$FW_XVFB_PID" ]; then
          export DISPLAY=:$n
          [ -z "${FW_MONITORS:-}" ] && return 0
          fw_monitors_layout && return 0
          echo "FW_MONITORS: could not lay out the monitors '$FW_MONITORS' (log: $FW_BUILD/xorg-$n.log)" >&2
          fw_xvfb_stop
          return 1
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
