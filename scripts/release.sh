#!/bin/bash
# Builds the release artifacts into <build folder>/release/: for the 32-bit program
# (the one shipped) and for the 64-bit one, a portable zip and an installer.
#   Framewick-1.0-win32.zip, Framewick-1.0-win32-setup.exe
#   Framewick-1.0-win64.zip, Framewick-1.0-win64-setup.exe
set -euo pipefail
FW_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$FW_ROOT/scripts/lib/build.sh"
BUILD=$FW_BUILD
OUT=$BUILD/release
# The version CMake wrote from the project's own.
VERSION=$(cat "$BUILD/i686/version.txt")
mkdir -p "$OUT"

package() {  # build dir name, asset suffix, NSIS architecture
  local arch=$1 suffix=$2 nsisArch=$3
  local bin=$BUILD/$arch/bin stage=$OUT/stage-$suffix
  for f in Framewick.exe camera.wav help.htm; do
    [ -f "$bin/$f" ] || { echo "release: $bin/$f is missing" >&2; exit 1; }
  done
  rm -rf "$stage"
  mkdir -p "$stage/Framewick"
  cp "$bin/Framewick.exe" "$bin/camera.wav" "$bin/help.htm" "$stage/Framewick/"
  cp "$FW_ROOT/README.md" "$stage/Framewick/README.txt"
  cp "$FW_ROOT/LICENSE" "$stage/Framewick/LICENSE.txt"
  rm -f "$OUT/Framewick-$VERSION-$suffix.zip"
  (cd "$stage" && zip -q -X -r "$OUT/Framewick-$VERSION-$suffix.zip" Framewick)
  (cd "$FW_ROOT/installer" && makensis -V2 -DARCH="$nsisArch" -DBIN="$bin" \
     -DOUT="$OUT/Framewick-$VERSION-$suffix-setup.exe" framewick.nsi)
  rm -rf "$stage"
}

package i686 win32 x86
package x86_64 win64 amd64
ls -l "$OUT"
