#!/bin/bash
# Runs the end-to-end driver under Wine on a private Xvfb display.
# Arguments go to the driver (e.g. --gtest_filter=Capture*).
# FW_WINE=10 runs it under Wine 10 (scripts/lib/engine.sh), else under the
# host's Wine 8.
# FW_E2E_NAME (default e2e) names the run: its work folder, log, CUPS
# server and special directories under the build folder carry the name,
# and under Wine 10 "-wine10" after it, so the two engines' runs never share
# them.
set -uo pipefail
FW_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$FW_ROOT/scripts/lib/wine.sh"
. "$FW_ROOT/scripts/lib/cups.sh"
fw_detect_arch || exit 2
# An English locale for Wine, whose ANSI code page (1252) lacks Japanese and
# Cyrillic letters, as the tests of such names need; UTF-8, so that Wine
# gives such names to the Unix file system whole. Given as LANG, with no
# LC_* setting over it (with LC_ALL set, Wine 8's clipboard between
# processes fails).
for var in $(compgen -e | grep '^LC_'); do unset "$var"; done
export LANG=C.UTF-8
BIN=$FW_BUILD/$FW_ARCH/bin
if [ ! -x "$BIN/fw_e2e.exe" ]; then
  echo "e2e: $BIN/fw_e2e.exe is missing; build first" >&2
  exit 2
fi
NAME=${FW_E2E_NAME:-e2e}$(fw_engine_suffix)
FW_CUPS_DIR=$FW_BUILD/$NAME-cups
READONLY=$FW_BUILD/$NAME-readonly
ROPROGRAM=$FW_BUILD/$NAME-readonly-program
FULL=$FW_BUILD/$NAME-full
WORK=$FW_BUILD/$NAME-work
LOG=$FW_BUILD/$NAME.log

# Whatever the run sets up is undone however it ends, and only that: each
# step is noted before it is taken, and undoing a step twice does no harm.
locked=()
mounted=
wineserver_started=
cleanup() {
  if [ -n "$wineserver_started" ]; then
    fw_wineserver_stop
    wineserver_started=
  fi
  fw_xvfb_stop
  fw_cups_stop
  local dir
  for dir in "${locked[@]}"; do
    chattr -i "$dir" 2>/dev/null
    chmod 755 "$dir" 2>/dev/null
  done
  locked=()
  if [ -n "$mounted" ]; then
    mountpoint -q "$mounted" 2>/dev/null && umount "$mounted" 2>/dev/null
    mounted=
  fi
}
trap cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

fw_prefix || exit 2

# A directory nobody may write into: immutable (which holds for root too)
# or, failing that, without write permission. Left out when neither makes
# it unwritable.
unwritable() {  # directory; true when nothing can be written into it
  locked+=("$1")
  chattr +i "$1" 2>/dev/null || chmod 555 "$1"
  if touch "$1/probe" 2>/dev/null; then
    rm -f "$1/probe"
    return 1
  fi
  return 0
}
for dir in "$READONLY" "$ROPROGRAM"; do  # what a run that was cut short left
  chattr -i "$dir" 2>/dev/null
  rm -rf "$dir"
  mkdir -p "$dir"
done
# For the tests of saving there.
if unwritable "$READONLY"; then export FW_READONLY_DIR=$(fw_winpath "$READONLY"); fi
# A copy of the program there, for "Apply" that cannot write the settings
# file.
cp "$BIN/Framewick.exe" "$BIN/camera.wav" "$ROPROGRAM/"
if unwritable "$ROPROGRAM"; then export FW_READONLY_PROGRAM_DIR=$(fw_winpath "$ROPROGRAM"); fi
# A small file system of its own (as root), for saving onto a full disk.
mountpoint -q "$FULL" 2>/dev/null && umount "$FULL" 2>/dev/null
mkdir -p "$FULL"
mounted=$FULL
if mount -t tmpfs -o size=8m,mode=0777 framewick-full "$FULL" 2>/dev/null; then
  export FW_FULL_DIR=$(fw_winpath "$FULL")
else
  mounted=
fi

fw_xvfb_start "${FW_SCREEN:-1024x768x24}" || exit 2
# The printing tests print to this run's own CUPS server. Printing is part
# of the program, so without one they fail, saying why.
if fw_cups_start; then
  echo "e2e: printing to queue $FW_CUPS_QUEUE of a private CUPS server ($CUPS_SERVER)"
else
  echo "e2e: no printer, so the printing tests will fail: $FW_CUPS_UNAVAILABLE" >&2
  export FW_CUPS_UNAVAILABLE CUPS_SERVER=$FW_BUILD/no-cups-server.sock  # and none of the system's
fi
wineserver_started=1
fw_wineserver_start

rm -rf "$WORK"
mkdir -p "$WORK"
export FW_BIN_DIR=$(fw_winpath "$BIN") FW_WORK_DIR=$(fw_winpath "$WORK")
# The installer for this architecture, when `make release` built one.
setup=$FW_BUILD/release/Framewick-$(cat "$FW_BUILD/$FW_ARCH/version.txt" 2>/dev/null)-$([ "$FW_ARCH" = i686 ] && echo win32 || echo win64)-setup.exe
[ -f "$setup" ] && export FW_INSTALLER=$(fw_winpath "$setup")
echo "e2e: $FW_ARCH build under $("$WINE" --version) on $DISPLAY"
# Wine's background services keep the streams they inherit open, so the
# driver writes to a file, which is followed while it runs.
: > "$LOG"
"$WINE" wineboot >/dev/null 2>&1 </dev/null
timeout --kill-after=15 "${FW_E2E_TIMEOUT:-3000}" "$WINE" "$BIN/fw_e2e.exe" "$@" >"$LOG" 2>&1 </dev/null &
driver=$!
tail -n +1 -f "$LOG" --pid=$driver | tr -d '\r' &
follower=$!
# Waits with `wait`, which a signal interrupts, so that the clean-up runs at
# once (ending the Wine server ends the driver).
wait $driver
rc=$?
wait $follower
# A driver that ended before GoogleTest's closing line (its Wine server
# stopped under it, say) did not pass, whatever its exit code.
if [ "$rc" -eq 0 ] && ! grep -aqE '^\[==========\] [0-9]+ tests? from .* ran' "$LOG"; then
  echo "e2e: the driver ended before its tests did" >&2
  rc=1
fi
exit "$rc"
