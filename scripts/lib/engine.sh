# The Wine engine a run uses: the host's Wine (Debian 12's Wine 8, the
# default) or Wine 10 from a Debian 13 (trixie) root the scripts make.
#
#   FW_WINE=10   runs under Wine 10; empty or 8: the host's Wine.
#
# The Wine 10 root is made once with debootstrap from the Debian archive and
# the packages below, installed by name; it is kept in a cache folder shared
# by every clone of the project on the machine (FW_WINE10_CACHE, default
# /var/cache/framewick), named after the hash of the package list and of the
# recipe, so a change to either makes a new one. It is made in a temporary
# folder under a lock and renamed when complete: a root that is there is
# whole.
#
# Every Wine 10 program runs chrooted into the root inside a private mount
# namespace of its own (scripts/lib/in-root), where the bind mounts it needs
# are made: /proc, /dev, /tmp (the X server's socket, the Wine server's
# socket folder), the project and the build folder at the same paths, so
# Wine's Z: paths are the same as the host's. The kernel drops them when the
# program ends, however it ends; the root itself is mounted read-only there,
# so runs sharing it cannot change it. Nothing is ever mounted in the
# global mount namespace.
#
# Sourced by scripts/lib/wine.sh; expects FW_ROOT and FW_BUILD to be set.
#
#   fw_engine                   "8" or "10": the engine FW_WINE asks for
#   fw_wine10_root              makes the root when it is not there yet; sets
#                               FW_WINE10_ROOT
#   fw_wine10_tools             writes the commands that run the root's Wine
#                               from the host into $FW_BUILD/wine10/bin

# What the root holds besides debootstrap's minimal base: Wine 10 for both
# architectures, the fonts the prefixes name, the X server, libcups for
# printing to the run's CUPS server (which runs on the host), and the Unix
# programs the end-to-end driver runs through Wine (RunUnix: pdftoppm and
# pdfimages, ImageMagick's convert and identify).
FW_WINE10_SUITE=trixie
FW_WINE10_MIRROR=${FW_WINE10_MIRROR:-http://deb.debian.org/debian}
FW_WINE10_PACKAGES="wine wine32:i386 wine64 libwine libwine:i386 xvfb fonts-wine fonts-liberation \
libcups2t64 libcups2t64:i386 poppler-utils imagemagick"

fw_engine() {
  case ${FW_WINE:-8} in
    8 | "") echo 8 ;;
    10) echo 10 ;;
    *)
      echo "engine: FW_WINE=$FW_WINE is not an engine this project has (8 or 10)" >&2
      return 1
      ;;
  esac
}

# The recipe: debootstrap's minimal base, then the packages by name.
# Runs inside a private mount namespace (see fw_wine10_root).
fw_wine10_recipe() {  # folder to make the root in
  local dir=$1
  debootstrap --variant=minbase --arch=amd64 "$FW_WINE10_SUITE" "$dir" "$FW_WINE10_MIRROR" || return 1
  cat > "$dir/etc/apt/sources.list.d/debian.sources" <<EOF
Types: deb
URIs: $FW_WINE10_MIRROR
Suites: $FW_WINE10_SUITE $FW_WINE10_SUITE-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb
URIs: ${FW_WINE10_MIRROR%/debian}/debian-security
Suites: $FW_WINE10_SUITE-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
  rm -f "$dir/etc/apt/sources.list"
  # No package starts a service in the root.
  printf '#!/bin/sh\nexit 101\n' > "$dir/usr/sbin/policy-rc.d"
  chmod 755 "$dir/usr/sbin/policy-rc.d"
  mount -t proc proc "$dir/proc" && mount --rbind /dev "$dir/dev" || return 1
  chroot "$dir" /bin/sh -ec "
    export DEBIAN_FRONTEND=noninteractive
    dpkg --add-architecture i386
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends $FW_WINE10_PACKAGES
    apt-get clean
    rm -rf /var/lib/apt/lists/*
  " || return 1
  # For the record: what the root was made from, and the version of its Wine.
  chroot "$dir" dpkg-query -W -f '${Package}:${Architecture} ${Version}\n' > "$dir/framewick-packages.txt"
  chroot "$dir" /usr/lib/wine/wine64 --version > "$dir/framewick-wine-version.txt" 2>/dev/null
}

# The root's name: the suite and the hash of what makes it.
fw_wine10_root_name() {
  local hash
  hash=$( {
    echo "$FW_WINE10_SUITE $FW_WINE10_MIRROR $FW_WINE10_PACKAGES"
    declare -f fw_wine10_recipe
  } | sha256sum | cut -c1-16)
  echo "$FW_WINE10_SUITE-wine10-$hash"
}

fw_wine10_root() {
  local cache=${FW_WINE10_CACHE:-/var/cache/framewick} name
  name=$(fw_wine10_root_name)
  FW_WINE10_ROOT=$cache/$name
  export FW_WINE10_ROOT
  [ -f "$FW_WINE10_ROOT/.framewick-complete" ] && return 0
  if ! command -v debootstrap >/dev/null 2>&1; then
    echo "engine: debootstrap is missing (scripts/install-deps.sh installs it)" >&2
    return 1
  fi
  if [ "$(id -u)" != 0 ]; then
    echo "engine: making the Wine 10 root in $FW_WINE10_ROOT needs root" >&2
    return 1
  fi
  mkdir -p "$cache" || return 1
  (
    flock 9
    [ -f "$FW_WINE10_ROOT/.framewick-complete" ] && exit 0
    # What a make that was cut short left (its namespace, and so its mounts,
    # went with it).
    rm -rf "$cache/.making-$name".*
    tmp=$(mktemp -d "$cache/.making-$name.XXXXXX") || exit 1
    chmod 755 "$tmp"
    log=$tmp.log
    echo "engine: making the Wine 10 root $FW_WINE10_ROOT (debootstrap $FW_WINE10_SUITE; log $log)" >&2
    local start=$SECONDS
    # The recipe's mounts are made in a mount namespace of its own, which
    # the kernel drops when it ends.
    if ! unshare --mount --propagation private -- /bin/bash -c "
           $(declare -f fw_wine10_recipe)
           FW_WINE10_SUITE=$FW_WINE10_SUITE FW_WINE10_MIRROR=$FW_WINE10_MIRROR
           FW_WINE10_PACKAGES='$FW_WINE10_PACKAGES'
           fw_wine10_recipe '$tmp'" >"$log" 2>&1 </dev/null; then
      echo "engine: could not make the Wine 10 root (the end of $log):" >&2
      tail -15 "$log" | sed 's/^/  /' >&2
      rm -rf "$tmp"
      exit 1
    fi
    touch "$tmp/.framewick-complete"
    mv "$tmp" "$FW_WINE10_ROOT" && mv "$log" "$FW_WINE10_ROOT.log"
    echo "engine: made $FW_WINE10_ROOT in $((SECONDS - start)) s ($(cat "$FW_WINE10_ROOT/framewick-wine-version.txt"))" >&2
  ) 9>"$cache/.$name.lock"
}

# Commands on the host that run the root's programs: wine, wine64,
# wineserver32 and wineserver64 in $FW_BUILD/wine10/bin, each a call of
# scripts/lib/in-root. Inside, WINE, WINELOADER and WINESERVER name the
# root's own programs (a Wine program that starts another through the Unix
# side, as the test driver does, reads WINE).
fw_wine10_tools() {
  local bin=$FW_BUILD/wine10/bin name
  mkdir -p "$bin" "$FW_BUILD/wine10/home"
  for name in wine wine64 wineserver32 wineserver64; do
    cat > "$bin/$name.new" <<EOF
#!/bin/sh
# Runs the Wine 10 root's $name (made by scripts/lib/engine.sh).
exec "$FW_ROOT/scripts/lib/in-root" "$FW_WINE10_ROOT" "$FW_ROOT" "$FW_BUILD" /usr/lib/wine/$name "\$@"
EOF
    chmod 755 "$bin/$name.new"
    mv "$bin/$name.new" "$bin/$name"
  done
}
