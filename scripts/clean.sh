#!/bin/bash
# Removes the build folder (FW_BUILD; `make BUILD=dir clean` passes it on),
# first undoing what a test run that was cut short may have left behind:
# its Wine servers (both engines'), its CUPS servers and their per-queue settings file,
# its immutable directories and its small file system.
set -uo pipefail
FW_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$FW_ROOT/scripts/lib/build.sh"
case $FW_BUILD in
  / | "$FW_ROOT" | "$HOME")
    echo "clean: refusing to remove $FW_BUILD" >&2
    exit 2
    ;;
esac
[ -e "$FW_BUILD" ] || exit 0
shopt -s nullglob
. "$FW_ROOT/scripts/lib/wine.sh"
FW_WINE= fw_detect_arch || exit 2
for prefix in "$FW_BUILD"/wine-*/; do
  WINEPREFIX=${prefix%/} "$WINESERVER" -k 2>/dev/null
done
# The Wine 10 prefixes' servers are the root's (their mounts are in the
# servers' own namespaces and go with them).
for server in "$FW_BUILD"/wine10/bin/wineserver64 "$FW_BUILD"/wine10/bin/wineserver32; do
  "$server" --version >/dev/null 2>&1 || continue
  for prefix in "$FW_BUILD"/wine10-*/; do
    WINEPREFIX=${prefix%/} "$server" -k 2>/dev/null
  done
  break
done
. "$FW_ROOT/scripts/lib/cups.sh"
for FW_CUPS_DIR in "$FW_BUILD"/*-cups; do
  fw_cups_stop_stale
  FW_CUPS_INSTANCE=$(fw_cups_instance "$FW_CUPS_DIR")
  fw_cups_stop
done
for dir in "$FW_BUILD"/*-readonly "$FW_BUILD"/*-readonly-program; do
  chattr -i "$dir" 2>/dev/null
done
for mount in "$FW_BUILD"/*-full; do
  mountpoint -q "$mount" 2>/dev/null && umount "$mount"
done
rm -rf "$FW_BUILD"
