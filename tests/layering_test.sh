#!/usr/bin/env bash
# Checks that the rooms include only what lies below them:
#   driver    uses everything
#   check     reports what the readers drop: kbd, xml, model, dom, platform
#   kbd       fills the model: platform, model (not xml, dom or the parser)
#   render    draws the model as SVG on the DOM: xml, model, dom, platform
#   batch     converts folder trees: the readers, the XML files, the platform
#   web       the web page's module: what batch uses, but not batch or driver
#   model/xml one pair of rooms: the model classes derive from the XML node
#             base, so each may include the other (the only two-way link)
#   dom       the XML DOM: platform only
#   platform  the operating system's services: nothing of the project
# Usage: layering_test.sh SOURCE_DIR
set -euo pipefail
cd "$1"

# allowed[ROOM]: the project folders ROOM's files may include from.
declare -A allowed=(
  [platform]="platform"
  [dom]="dom platform"
  [model]="model xml dom platform"
  [xml]="xml model dom platform"
  [kbd]="kbd model platform"
  [check]="check kbd xml model dom platform"
  [render]="render xml model dom platform"
  [batch]="batch check render kbd xml model dom platform"
  [web]="web check render kbd xml model dom platform"
  [driver]="driver batch check render kbd xml model dom platform"
)
rooms=(platform dom model xml kbd check render batch web driver)

failures=0
for room in "${rooms[@]}"; do
  [ -d "$room" ] || continue
  while IFS=: read -r file line include; do
    folder=${include%%/*}
    [ -d "$folder" ] || continue  # a system or library header
    permitted=${allowed[$room]}
    # Tests follow their room's rule, and may use the shared test support.
    case "$file" in *_test.cpp | *_test_util.h) permitted+=" testing" ;; esac
    case " $permitted " in
      *" $folder "*) ;;
      *)
        echo "$file:$line: $room/ may not include $include"
        failures=$((failures + 1))
        ;;
    esac
  done < <(grep -n -o -E '^#include "[^"]+"' "$room"/*.h "$room"/*.cpp 2>/dev/null |
           sed -E 's/#include "([^"]+)"/\1/')
done

if [ "$failures" -gt 0 ]; then
  echo "$failures include(s) point the wrong way"
  exit 1
fi
echo "layering: every include points down"
