#!/usr/bin/env bash
# Installs the browser test's pinned packages (package-lock.json) into the given folder.
set -euo pipefail
folder=$1
here=$(dirname "$0")
mkdir -p "$folder"
if ! cmp -s "$here/package-lock.json" "$folder/package-lock.json" || [ ! -d "$folder/node_modules" ]; then
  cp "$here/package.json" "$here/package-lock.json" "$folder/"
  (cd "$folder" && npm ci --ignore-scripts --no-audit --no-fund --loglevel=error)
fi
