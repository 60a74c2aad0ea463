#!/usr/bin/env bash
# The Windows build in one command: provides the static Qt for MinGW (scripts/qt-mingw.sh), then
# cross-compiles the editor, the command line and the test executables into build-win/ (or
# $WIN_BUILD_DIR) and packs build-win/tavrin-editor-<version>-windows-x64.zip. Extra arguments go
# to CMake. Compiles go through ccache like the Linux build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
qt=$(bash "$root/scripts/qt-mingw.sh")
# Release, as shipped; no benchmarks or fuzz targets, which the Windows phase does not run.
BUILD_DIR=${WIN_BUILD_DIR:-$root/build-win} BUILD_TYPE=Release bash "$root/scripts/build.sh" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/windows-x64.cmake" -DTAVRIN_QT_MINGW="$qt" -DTAVRIN_BENCH=OFF "$@"
ls "${WIN_BUILD_DIR:-$root/build-win}"/tavrin-editor-*-windows-x64.zip
