#!/usr/bin/env bash
# Builds PCRE2 for Windows from Debian's source package, for the cross build
# of the command-line tool, and installs it (static, 8-bit) under PREFIX.
#   windows-deps.sh PREFIX
# Debian has no Windows build of it; its source comes through apt with a
# list of its own (in PREFIX), so the machine's apt set-up is left as it is.
# Nothing is done when PREFIX holds the library already.
set -euo pipefail
prefix=$(realpath -m "$1")
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -f "$prefix/lib/libpcre2-8.a" ] && [ -f "$prefix/lib/pkgconfig/libpcre2-8.pc" ]; then
  exit 0
fi

work="$prefix/work"
apt="$work/apt"
mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/sources"
cat > "$apt/sources/debian-source.sources" <<SOURCES
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
apt_options=(
  -o "Dir::Etc::SourceList=/dev/null" -o "Dir::Etc::SourceParts=$apt/sources"
  -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache"
  -o "APT::Sandbox::User=root"
)
if ! ls "$work"/pcre2_*.orig.tar.* >/dev/null 2>&1; then
  apt-get "${apt_options[@]}" update
  # The upstream tarball only (apt checks it against the signed index); the
  # Debian changes concern Debian's own packaging.
  (cd "$work" && apt-get "${apt_options[@]}" source --download-only pcre2)
fi
tarball=$(ls "$work"/pcre2_*.orig.tar.* | head -n 1)
rm -rf "$work/pcre2"
mkdir -p "$work/pcre2"
tar -xf "$tarball" -C "$work/pcre2" --strip-components=1

cmake -S "$work/pcre2" -B "$work/pcre2-build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/windows-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DBUILD_SHARED_LIBS=OFF -DBUILD_STATIC_LIBS=ON \
  -DPCRE2_BUILD_PCRE2_8=ON -DPCRE2_BUILD_PCRE2_16=OFF -DPCRE2_BUILD_PCRE2_32=OFF \
  -DPCRE2_SUPPORT_JIT=OFF -DPCRE2_BUILD_PCRE2GREP=OFF -DPCRE2_BUILD_TESTS=OFF \
  -DPCRE2_SUPPORT_LIBBZ2=OFF -DPCRE2_SUPPORT_LIBZ=OFF -DPCRE2_SUPPORT_LIBEDIT=OFF -DPCRE2_SUPPORT_LIBREADLINE=OFF
cmake --build "$work/pcre2-build" -j 2
cmake --install "$work/pcre2-build"
