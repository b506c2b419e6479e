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
set -uo pipefail
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
