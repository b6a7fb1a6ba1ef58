#!/bin/bash
# Configures and builds the cross-compiled tree into BUILD_DIR (default: build).
# BUILD_TYPE (default RelWithDebInfo) is the CMake build type. The tree is
# configured again when the build type differs from its cache's, and afresh
# (cache removed) when its toolchain file is another one or has changed since
# the tree was configured: a cache keeps the compilers it found first.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}"
TOOLCHAIN="$ROOT/cmake/mingw-i686.cmake"
mkdir -p "$BUILD_DIR"

cache="$BUILD_DIR/CMakeCache.txt"
stamp="$BUILD_DIR/toolchain.sha256" # the toolchain file the cache was made with
cached() { sed -n "s/^$1:[A-Z]*=//p" "$cache"; }
toolchain_id() { sha256sum <"$TOOLCHAIN" | cut -d' ' -f1; }

# A tree configured before the stamp existed was made with the file as it is.
[ ! -f "$cache" ] || [ -f "$stamp" ] || toolchain_id >"$stamp"
if [ -f "$cache" ] && { [ "$(cached CMAKE_TOOLCHAIN_FILE)" != "$TOOLCHAIN" ] ||
    [ "$(cat "$stamp")" != "$(toolchain_id)" ]; }; then
    echo "build: the toolchain changed, configuring $BUILD_DIR afresh"
    rm -rf "$cache" "$BUILD_DIR/CMakeFiles"
fi
if [ ! -f "$cache" ] || [ "$(cached CMAKE_BUILD_TYPE)" != "$BUILD_TYPE" ]; then
    [ ! -f "$cache" ] || echo "build: build type $(cached CMAKE_BUILD_TYPE) -> $BUILD_TYPE, configuring again"
    cmake -S "$ROOT" -B "$BUILD_DIR" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCMAKE_BUILD_TYPE="$BUILD_TYPE" >/dev/null
    toolchain_id >"$stamp"
fi
cmake --build "$BUILD_DIR" -j"$(nproc)"
