#!/bin/bash
# Starts Framewick under Wine. Uses $DISPLAY when there is one; otherwise
# starts a private Xvfb and says how to look at it.
set -uo pipefail
FW_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$FW_ROOT/scripts/lib/wine.sh"
fw_detect_arch || exit 2
BIN=$FW_BUILD/$FW_ARCH/bin
fw_prefix || exit 2
own_display=0
if [ -z "${DISPLAY:-}" ]; then
  fw_xvfb_start "${FW_SCREEN:-1024x768x24}" || exit 2
  own_display=1
fi
echo "run: Framewick ($FW_ARCH build) on display $DISPLAY"
"$WINE" "$BIN/Framewick.exe" >/dev/null 2>&1 </dev/null &
app=$!
if [ $own_display -eq 1 ]; then
  shot=$FW_BUILD/framewick-screen.png
  for _ in $(seq 200); do
    xwininfo -root -tree 2>/dev/null | grep -q '"Framewick": ("framewick.exe"' && break
    sleep 0.1
  done
  sleep 1
  if command -v import >/dev/null; then import -display "$DISPLAY" -window root "$shot" 2>/dev/null && \
    echo "run: no display was set; Framewick runs on the private display $DISPLAY."
    echo "     A screenshot of the screen is in $shot"
    echo "     Look live with: DISPLAY=$DISPLAY xwd -root | convert xwd:- now.png   (or x11vnc -display $DISPLAY)"
  fi
  echo "     Press Ctrl+C here to stop it."
  trap 'kill $app 2>/dev/null; "$WINESERVER" -k; fw_xvfb_stop' INT TERM EXIT
fi
wait $app
