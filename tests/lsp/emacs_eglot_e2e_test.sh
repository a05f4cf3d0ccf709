#!/usr/bin/env bash
# Runs the eglot client script in Emacs, headless, against the language
# server on a program of the shared projects split over files by #INCLUDE.
# Exit 77 (skipped) when the projects are missing.
set -euo pipefail
cli=$1 projects=$2 work=$3
here=$(cd "$(dirname "$0")" && pwd)

program=$projects/spacetrek/spacetrek.bas
if [ ! -f "$program" ]; then echo "no program at $program: skipped"; exit 77; fi
command -v emacs > /dev/null || { echo "emacs is missing: run scripts/install-deps.sh --tests"; exit 1; }
ls -d /usr/share/emacs/site-lisp/elpa/eglot-* > /dev/null 2>&1 ||
  { echo "eglot is missing: run scripts/install-deps.sh --tests"; exit 1; }

rm -rf "$work" && mkdir -p "$work"
: > "$work/VennikPlus.inf"
echo "program: $program"
# No user or site configuration; nothing written beside the program.
VENNIK_CLI=$(realpath "$cli") VENNIK_PROGRAM=$(realpath "$program") VENNIK_SETTINGS=$work/VennikPlus.inf HOME=$work \
  emacs --batch -Q --eval '(setq make-backup-files nil create-lockfiles nil auto-save-default nil)' \
    -l "$here/emacs_eglot_client.el"
