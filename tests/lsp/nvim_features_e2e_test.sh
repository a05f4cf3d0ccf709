#!/usr/bin/env bash
# Runs the Neovim client script that asks for semantic tokens, call
# hierarchy, folding, signature help, highlights, workspace symbols, the
# declaring fix and completion, on a program of the shared projects split
# over files by #INCLUDE. Exit 77 (skipped) when the projects are missing.
set -euo pipefail
cli=$1 projects=$2 work=$3
here=$(cd "$(dirname "$0")" && pwd)

program=$projects/spacetrek/spacetrek.bas
if [ ! -f "$program" ]; then echo "no program at $program: skipped"; exit 77; fi
command -v nvim > /dev/null || { echo "nvim is missing: run scripts/install-deps.sh --tests"; exit 1; }

rm -rf "$work" && mkdir -p "$work"
: > "$work/VennikPlus.inf"
echo "program: $program"
VENNIK_CLI=$cli VENNIK_PROGRAM=$(realpath "$program") VENNIK_SETTINGS=$work/VennikPlus.inf HOME=$work \
  nvim --headless --clean -n -i NONE -c "luafile $here/nvim_features_client.lua"
