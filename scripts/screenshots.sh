#!/bin/bash
# Takes the README's screenshots (docs/main-window.png, docs/options.png) of
# the real program under Xvfb, then the main window at 150 % display scaling
# (docs/main-window-144dpi.png) in a Wine prefix whose system DPI is 144.
set -euo pipefail
FW_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$FW_ROOT/scripts/lib/wine.sh"
fw_detect_arch || exit 2
BIN=$FW_BUILD/$FW_ARCH/bin
cleanup() { fw_wineserver_stop; fw_xvfb_stop; }
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
fw_prefix || exit 2
if [ -n "${FW_DPI:-}" ]; then fw_xvfb_start 1280x1024x24; else fw_xvfb_start 1024x768x24; fi
fw_wineserver_start
dir=$FW_BUILD/screenshots${FW_DPI:+-dpi$FW_DPI}
rm -rf "$dir"
mkdir -p "$dir"
cp "$BIN/Framewick.exe" "$BIN/camera.wav" "$BIN/help.htm" "$dir/"
(cd "$dir" && "$WINE" Framewick.exe >/dev/null 2>&1 </dev/null &)
shot() {  # window title, output
  local id=""
  for _ in $(seq 100); do
    id=$(xwininfo -root -tree 2>/dev/null | awk -v t="\"$1\":" '$2 == t {print $1; exit}')
    [ -n "$id" ] && break
    sleep 0.1
  done
  [ -n "$id" ] || { echo "screenshots: no window \"$1\"" >&2; return 1; }
  sleep 1.5
  import -window "$id" "$2"
  echo "screenshots: $2"
}
if [ -n "${FW_DPI:-}" ]; then
  shot Framewick "$FW_ROOT/docs/main-window-${FW_DPI}dpi.png"
  exit 0
fi
shot Framewick "$FW_ROOT/docs/main-window.png"
"$WINE" "$BIN/post_command.exe" FramewickMain 221 >/dev/null 2>&1 </dev/null
shot Options "$FW_ROOT/docs/options.png"
cleanup
trap - EXIT
FW_DPI=144 "$0"
