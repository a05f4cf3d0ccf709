#!/usr/bin/env bash
# Runs the Neovim client script against the language server on the longest
# program of the shared corpus. Exit 77 (skipped) when there is no corpus.
set -euo pipefail
cli=$1 corpus=$2 work=$3
here=$(cd "$(dirname "$0")" && pwd)

if [ ! -d "$corpus" ]; then echo "no corpus at $corpus: skipped"; exit 77; fi
program=$(find "$corpus" -type f -iname '*.bas' -print0 | xargs -0 wc -l | grep -v ' total$' |
  sort -n | tail -n 1 | sed -E 's/^ *[0-9]+ //')
if [ -z "$program" ]; then echo "no .bas program in $corpus: skipped"; exit 77; fi
command -v nvim > /dev/null || { echo "nvim is missing: run scripts/install-deps.sh"; exit 1; }

rm -rf "$work" && mkdir -p "$work"
# An empty settings file: no Library, the default factor, whatever the
# machine has beside the tool.
: > "$work/VennikPlus.inf"
echo "program: $program"
# Neovim without user configuration, swap or shada files.
VENNIK_CLI=$cli VENNIK_PROGRAM=$program VENNIK_SETTINGS=$work/VennikPlus.inf HOME=$work \
  nvim --headless --clean -n -i NONE -c "luafile $here/nvim_client.lua"
