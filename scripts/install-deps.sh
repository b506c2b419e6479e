#!/bin/sh
# Installs the Debian packages the build, the run and the tests need (the
# Wine 10 root, made by scripts/lib/engine.sh with debootstrap, has its own).
# Idempotent: does nothing when everything is present; updates the package
# lists only when something must be installed.
set -eu

PKGS="make cmake g++ g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32:i386 wine64 \
xvfb x11-utils xdotool imagemagick googletest clang libclang-rt-14-dev \
cups printer-driver-cups-pdf poppler-utils libcups2:i386 sox \
fonts-wine fonts-liberation nsis zip libx11-dev x11-apps scrot debootstrap \
xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils"

missing=""
for p in $PKGS; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
    missing="$missing $p"
  fi
done
[ -z "$missing" ] && exit 0

SUDO=""
if [ "$(id -u)" != 0 ]; then
  if command -v sudo >/dev/null 2>&1; then SUDO=sudo; else
    echo "install-deps: missing packages:$missing (run as root or install sudo)" >&2
    exit 1
  fi
fi

echo "install-deps: installing$missing"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
# A mirror caught mid-sync can fail one index (seen: the i386 security list);
# the others still update, so go on and let the install decide.
$SUDO apt-get update -qq || echo "install-deps: some package lists failed to update; trying with the rest" >&2
if ! $SUDO apt-get install -y -qq --no-install-recommends $missing; then
  # Without one architecture's security list, amd64 and i386 candidates of the
  # same library differ and multiarch refuses them: take the release's own
  # versions, which both architectures share.
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  [ -n "$codename" ] || exit 1
  echo "install-deps: retrying with the $codename release's own versions" >&2
  $SUDO apt-get install -y -qq --no-install-recommends -t "$codename" $missing
fi
