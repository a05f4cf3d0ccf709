#!/usr/bin/env bash
# Packages the extension as vennikplus-VERSION.vsix in this folder, with
# @vscode/vsce from npm (Node.js 16 or later). Install it with
#   code --install-extension vennikplus-1.0.0.vsix
set -euo pipefail
cd "$(dirname "$0")"
command -v npm > /dev/null || { echo "npm is missing: install Node.js (Debian: apt-get install npm)" >&2; exit 1; }
npm install --no-audit --no-fund
npm run package
ls -1 ./*.vsix
