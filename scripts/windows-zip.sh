#!/usr/bin/env bash
# Packs the Windows build of the command-line tool: vennikplus-cli.exe
# (without its debugging symbols), the keyword lists in keywords\ beside it,
# where the tool looks for them, the README and the licence.
#   windows-zip.sh EXE ZIP
set -euo pipefail
exe=$1 zip=$(realpath -m "$2")
root=$(cd "$(dirname "$0")/.." && pwd)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$stage/keywords"
x86_64-w64-mingw32-strip -o "$stage/vennikplus-cli.exe" "$exe"
cp "$root"/data/keywords/*.txt "$root/data/keywords/README.md" "$stage/keywords/"
cp "$root/README.md" "$root/LICENSE" "$stage/"
mkdir -p "$(dirname "$zip")"
rm -f "$zip"
(cd "$stage" && zip -q -X -r "$zip" .)
echo "$zip: $(du -h "$zip" | cut -f1)"
