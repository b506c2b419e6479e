#!/bin/bash
# Runs the end-to-end driver under Wine on a private Xvfb display.
# Arguments go to the driver (e.g. --gtest_filter=Capture*).
set -uo pipefail
FW_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$FW_ROOT/scripts/lib/wine.sh"
. "$FW_ROOT/scripts/lib/cups.sh"
fw_detect_arch
BIN=$FW_BUILD/$FW_ARCH/bin
if [ ! -x "$BIN/fw_e2e.exe" ]; then
  echo "e2e: $BIN/fw_e2e.exe is missing; build first" >&2
  exit 2
fi
fw_prefix
fw_xvfb_start "${FW_SCREEN:-1024x768x24}" || exit 2
# A directory nobody may write into, for the tests of saving there:
# immutable (which holds for root too) or, failing that, without write
# permission. Left out when neither makes it unwritable.
READONLY=$FW_BUILD/e2e-readonly
chattr -i "$READONLY" 2>/dev/null
rm -rf "$READONLY"
mkdir -p "$READONLY"
chattr +i "$READONLY" 2>/dev/null || chmod 555 "$READONLY"
if touch "$READONLY/probe" 2>/dev/null; then
  rm -f "$READONLY/probe"
else
  export FW_READONLY_DIR=$(fw_winpath "$READONLY")
fi
# A copy of the program in a directory nobody may write into, for "Apply"
# that cannot write the settings file.
ROPROGRAM=$FW_BUILD/e2e-readonly-program
chattr -i "$ROPROGRAM" 2>/dev/null
rm -rf "$ROPROGRAM"
mkdir -p "$ROPROGRAM"
cp "$BIN/Framewick.exe" "$BIN/camera.wav" "$ROPROGRAM/"
chattr +i "$ROPROGRAM" 2>/dev/null || chmod 555 "$ROPROGRAM"
if touch "$ROPROGRAM/probe" 2>/dev/null; then
  rm -f "$ROPROGRAM/probe"
else
  export FW_READONLY_PROGRAM_DIR=$(fw_winpath "$ROPROGRAM")
fi
# A small file system of its own (as root), for saving onto a full disk.
FULL=$FW_BUILD/e2e-full
mountpoint -q "$FULL" 2>/dev/null && umount "$FULL" 2>/dev/null
mkdir -p "$FULL"
if mount -t tmpfs -o size=8m,mode=0777 framewick-full "$FULL" 2>/dev/null; then
  export FW_FULL_DIR=$(fw_winpath "$FULL")
fi
cleanup() {
  fw_wineserver_stop; fw_xvfb_stop; fw_cups_stop
  chattr -i "$READONLY" "$ROPROGRAM" 2>/dev/null; chmod 755 "$READONLY" "$ROPROGRAM" 2>/dev/null
  mountpoint -q "$FULL" 2>/dev/null && umount "$FULL" 2>/dev/null
}
trap cleanup EXIT
# The printing tests print to this run's own CUPS server.
if fw_cups_start; then
  echo "e2e: printing to queue $FW_CUPS_QUEUE of a private CUPS server ($CUPS_SERVER)"
else
  echo "e2e: no printer for the printing tests: $FW_CUPS_UNAVAILABLE"
  export FW_CUPS_UNAVAILABLE CUPS_SERVER=$FW_BUILD/no-cups-server.sock  # and none of the system's
fi
fw_wineserver_start

NAME=${FW_E2E_NAME:-e2e}
WORK=$FW_BUILD/$NAME-work
rm -rf "$WORK"
mkdir -p "$WORK"
export FW_BIN_DIR=$(fw_winpath "$BIN") FW_WORK_DIR=$(fw_winpath "$WORK")
# The installer for this architecture, when `make release` built one.
setup=$FW_BUILD/release/Framewick-$(cat "$FW_BUILD/$FW_ARCH/version.txt" 2>/dev/null)-$([ "$FW_ARCH" = i686 ] && echo win32 || echo win64)-setup.exe
[ -f "$setup" ] && export FW_INSTALLER=$(fw_winpath "$setup")
echo "e2e: $FW_ARCH build under $("$WINE" --version) on $DISPLAY"
# Wine's background services keep the streams they inherit open, so the
# driver writes to a file, which is followed while it runs.
LOG=$FW_BUILD/$NAME.log
: > "$LOG"
"$WINE" wineboot >/dev/null 2>&1 </dev/null
timeout --kill-after=15 "${FW_E2E_TIMEOUT:-3000}" "$WINE" "$BIN/fw_e2e.exe" "$@" >"$LOG" 2>&1 </dev/null &
driver=$!
tail -n +1 -f "$LOG" --pid=$driver | tr -d '\r'
wait $driver
rc=$?
# A driver that ended before GoogleTest's closing line (its Wine server
# stopped under it, say) did not pass, whatever its exit code.
if [ "$rc" -eq 0 ] && ! grep -aqE '^\[==========\] [0-9]+ tests? from .* ran' "$LOG"; then
  echo "e2e: the driver ended before its tests did" >&2
  rc=1
fi
exit "$rc"
