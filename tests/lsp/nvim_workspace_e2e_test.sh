#!/usr/bin/env bash
# Runs the Neovim client script that works with only an included file open
# and the workspace set, on a copy of a project of the shared projects whose
# programs share files (the script saves what it renames, and changes a file
# on the disk). Exit 77 (skipped) when the projects are missing.
set -euo pipefail
cli=$1 projects=$2 work=$3
here=$(cd "$(dirname "$0")" && pwd)

project=$projects/zmim/src
if [ ! -f "$project/console.inc" ]; then echo "no project at $project: skipped"; exit 77; fi
command -v nvim > /dev/null || { echo "nvim is missing: run scripts/install-deps.sh"; exit 1; }

rm -rf "$work" && mkdir -p "$work"
cp -R "$project" "$work/src"
chmod -R u+w "$work/src"
: > "$work/VennikPlus.inf"
echo "workspace: $work/src (a copy of $project)"
VENNIK_CLI=$cli VENNIK_ROOT=$work/src VENNIK_SETTINGS=$work/VennikPlus.inf HOME=$work \
  nvim --headless --clean -n -i NONE -c "luafile $here/nvim_workspace_client.lua"
