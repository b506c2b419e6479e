#!/bin/bash
# Checks that the source's dependencies point down:
#   app/                           start-up, the main window, the wiring
#   capture/ image/ output/ tray/ about/   the features
#   program/                       what the features know of the running program
#   platform/                      Win32 wrappers
# A feature folder or platform/ never includes app/; program/ includes
# neither app/ nor a feature; platform/ includes none of them; and the
# features' includes of each other never form a circle. Prints each
# offending include and fails when there is one.
# Usage: check-layers.sh [source folder, default src/]
#        check-layers.sh --self-test   (shows that it catches each kind)
set -uo pipefail

if [ "${1:-}" = --self-test ]; then
  tree=$(mktemp -d)
  trap 'rm -rf "$tree"' EXIT
  mkdir -p "$tree"/{app,capture,image,output,tray,about,program,platform}
  include() { echo "#include \"$2\"" >>"$tree/$1"; }
  # A tree that points down, with a chain of feature uses.
  include app/main.cpp capture/a.h
  include capture/a.h image/b.h
  include image/b.h output/c.h
  include image/b.h program/d.h
  include program/d.h platform/e.h
  touch "$tree"/{output/c.h,platform/e.h}
  "$0" "$tree" >/dev/null || { echo "layers self-test: a sound tree was refused"; exit 1; }
  failures=0
  expect_refused() {  # what, file, header
    cp -r "$tree" "$tree.case"
    echo "#include \"$3\"" >>"$tree.case/$2"
    if "$0" "$tree.case" >/dev/null; then
      echo "layers self-test: not caught: $1"
      failures=1
    fi
    rm -rf "$tree.case"
  }
  expect_refused "a feature including app/" tray/f.cpp app/form1.h
  expect_refused "platform/ including app/" platform/e.h app/form1.h
  expect_refused "platform/ including a feature" platform/e.h capture/a.h
  expect_refused "platform/ including program/" platform/e.h program/d.h
  expect_refused "program/ including app/" program/d.h app/program.h
  expect_refused "program/ including a feature" program/d.h about/g.h
  expect_refused "two features including each other" image/b.h capture/a.h
  expect_refused "a circle of three features" output/c.h capture/a.h
  [ $failures -eq 0 ] && echo "layers self-test: each kind of upward include is caught"
  exit $failures
fi

SRC=${1:-$(cd "$(dirname "$0")/.." && pwd)/src}
FEATURES=(capture image output tray about)
bad=0

is_feature() {
  local f
  for f in "${FEATURES[@]}"; do [ "$1" = "$f" ] && return 0; done
  return 1
}

# "from to file:line" for every #include "x/..." of a folder in src/.
edges() {
  local file from to line
  while IFS= read -r file; do
    from=${file#"$SRC"/}
    from=${from%%/*}
    while IFS=: read -r line to; do
      to=${to#*\"}
      to=${to%%/*}
      [ -d "$SRC/$to" ] && [ "$to" != "$from" ] && echo "$from $to ${file#"$SRC"/}:$line"
    done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]+"[^"/]+/' "$file" | sed -E 's/:[^"]*/:/')
  done < <(find "$SRC" -type f \( -name '*.h' -o -name '*.cpp' \) | sort)
}

declare -A feature_edge=()
while read -r from to where; do
  why=""
  if [ "$to" = app ]; then
    why="only app/ itself includes app/"
  elif [ "$from" = platform ]; then
    why="platform/ includes no folder above it"
  elif [ "$from" = program ] && is_feature "$to"; then
    why="program/ lies below the features"
  elif is_feature "$from" && is_feature "$to"; then
    feature_edge["$from $to"]=$where
  fi
  if [ -n "$why" ]; then
    echo "layers: $where includes $to/: $why"
    bad=1
  fi
done < <(edges)

# A circle among the features: a feature that reaches itself.
for start in "${FEATURES[@]}"; do
  seen=" "
  todo=("$start")
  while [ ${#todo[@]} -gt 0 ]; do
    at=${todo[0]}
    todo=("${todo[@]:1}")
    for f in "${FEATURES[@]}"; do
      [ -n "${feature_edge["$at $f"]:-}" ] || continue
      if [ "$f" = "$start" ]; then
        echo "layers: $start/ reaches itself through the features' includes (${feature_edge["$at $f"]} includes $f/)"
        bad=1
        todo=()
        break
      fi
      case $seen in *" $f "*) ;; *) seen+="$f " todo+=("$f") ;; esac
    done
  done
done

for edge in "${!feature_edge[@]}"; do echo "layers: feature use ${edge/ / -> }"; done | sort
[ $bad -eq 0 ] && echo "layers: dependencies point down" || echo "layers: FAILED"
exit $bad
