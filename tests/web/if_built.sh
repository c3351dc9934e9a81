#!/usr/bin/env bash
# Runs a web test when web/build produced its output; without emscripten it was skipped.
set -euo pipefail
[ -e "$1" ] || { echo "skipped: $1 was not built (web/build needs emscripten)"; exit 77; }
shift
exec "$@"
