#!/bin/bash
# Runs every fuzz target (built by `make fuzz-build`) for a bounded time,
# starting from the corpus checked in under tests/fuzz/corpus/<target>/.
# Inputs found on the way are kept in <build folder>/fuzz/corpus/<target>/;
# a crash leaves its input in <build folder>/fuzz/artifacts/ and fails the
# run.
# Usage: fuzz.sh [seconds per target]
set -uo pipefail
FW_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$FW_ROOT/scripts/lib/build.sh"
BUILD=$FW_BUILD
seconds=${1:-25}
failed=0
shopt -s nullglob
targets=("$BUILD"/fuzz/*_fuzz)
if [ ${#targets[@]} -eq 0 ]; then
  echo "fuzz: no fuzz targets in $BUILD/fuzz; run make fuzz-build" >&2
  exit 2
fi
mkdir -p "$BUILD/fuzz/artifacts"
for exe in "${targets[@]}"; do
  name=$(basename "$exe")
  seeds=$FW_ROOT/tests/fuzz/corpus/$name
  work=$BUILD/fuzz/corpus/$name
  mkdir -p "$work"
  echo "fuzz: $name for ${seconds}s"
  if ! "$exe" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=1024 -print_final_stats=1 \
      -artifact_prefix="$BUILD/fuzz/artifacts/$name-" "$work" "$seeds" >"$BUILD/fuzz/$name.log" 2>&1; then
    echo "fuzz: $name FAILED (see $BUILD/fuzz/$name.log)"
    tail -40 "$BUILD/fuzz/$name.log"
    failed=1
  else
    grep -E '^stat::number_of_executed_units|^#[0-9]+.*DONE' "$BUILD/fuzz/$name.log" | tail -2
  fi
done
exit $failed
