#!/usr/bin/env bash
# Configures and builds into build/ (or $BUILD_DIR) with whatever extra CMake options are given;
# BUILD_TARGET names one target instead of everything. Compiles through ccache when it is installed,
# so that a second clone or a second build folder reuses what was compiled once. Release by default: the
# package strips debug information anyway, and compiling it costs a quarter more
# (BUILD_TYPE=RelWithDebInfo for a debugger; the sanitizer build adds line tables itself).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    # Paths inside the clone count relative to it, so another clone at another path hits the cache.
    export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root} CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-true}
    # Needed for files that use a precompiled header to be cached at all.
    export CCACHE_SLOPPINESS=${CCACHE_SLOPPINESS:-pch_defines,time_macros,include_file_mtime,include_file_ctime}
fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-Release} "${launcher[@]}" "$@" >/dev/null
cmake --build "$build" --parallel "$(nproc)" ${BUILD_TARGET:+--target "$BUILD_TARGET"}
