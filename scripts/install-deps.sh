#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs, only those missing.
#   install-deps.sh            what building and running the programs needs
#   install-deps.sh --tests    that, and what the tests, benchmarks and fuzz
#                              targets need besides
#   install-deps.sh --windows  the cross compiler for the Windows build of
#                              the command-line tool, and wine to test it
# The options may be given together.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libcli11-dev nlohmann-json3-dev libpcre2-dev libserialport-dev
  qt6-base-dev qt6-svg-dev
)
for option in "$@"; do
  case "$option" in
    --tests)
      packages+=(
        libgtest-dev libgmock-dev libbenchmark-dev
        xvfb xauth x11-utils x11-apps fonts-liberation xdotool xclip openbox
        clang libclang-rt-14-dev
        neovim emacs-nox elpa-eglot
        lrzsz
      )
      ;;
    --windows)
      # GoogleTest's sources (in libgtest-dev) are built for Windows too.
      packages+=(
        g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
        wine wine64
        zip libgtest-dev
      )
      ;;
    *)
      echo "install-deps.sh: unknown option $option (--tests, --windows)" >&2
      exit 2
      ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
