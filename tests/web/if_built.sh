#!/usr/bin/env bash
# Runs a web test when web/build produced its output; without emscripten it was skipped.
# MERIDEL_WEB_TMPDIR: a scratch root of its own, so that scratch folders named after the same
# test cases as the native ones never meet them when both run at once.
set -euo pipefail
[ -e "$1" ] || { echo "skipped: $1 was not built (web/build needs emscripten)"; exit 77; }
shift
if [ -n "${MERIDEL_WEB_TMPDIR:-}" ]; then
  mkdir -p "$MERIDEL_WEB_TMPDIR"
  chmod 1777 "$MERIDEL_WEB_TMPDIR"
  export TMPDIR=$MERIDEL_WEB_TMPDIR
fi
exec "$@"
