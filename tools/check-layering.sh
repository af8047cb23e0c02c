#!/usr/bin/env bash
# Checks that every include under src/ points down the layers:
# store <- compute <- files <- platform <- diagrams, diagnostics,
# overview fields and panels, shell <- the windows <- app.
# A file may include its own folder and any folder of a lower layer.
set -euo pipefail
cd "${1:-$(dirname "$0")/..}/src"

layer_of() {
  case "$1" in
    store/*) echo 0 ;;
    compute/*) echo 1 ;;
    files/*) echo 2 ;;
    platform/*) echo 3 ;;
    profile/diagrams/* | profile/diagnostics/* | overview/fields/* | overview/panels/* | shell/*) echo 4 ;;
    profile/ui/* | overview/ui/*) echo 5 ;;
    app/*) echo 6 ;;
    *) echo 99 ;;
  esac
}

status=0
while IFS= read -r file; do
  own=$(layer_of "$file")
  while IFS= read -r header; do
    [ -n "$header" ] || continue
    theirs=$(layer_of "$header")
    if [ "$theirs" -gt "$own" ]; then
      echo "$file includes $header, a header of a higher layer"
      status=1
    fi
  done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
done < <(find . -name '*.h' -o -name '*.cpp' | sed 's#^\./##' | sort)
exit $status
