#!/usr/bin/env bash
# Provides a static Qt 6 for 64-bit Windows (MinGW-w64) and prints its prefix on standard output, for
# the cross build (cmake/windows-x64.cmake). It is the same Qt version as the host's qt6-base-dev,
# whose moc, rcc and uic serve the cross build. In order of preference:
#   1. a copy unpacked or built by an earlier run, in the cache folder;
#   2. the ready build in ../shared/toolchains beside the clone, when its SHA-256 checksum holds;
#   3. a build from Debian's own qt6-base source package (about 20-40 minutes on two cores; needs
#      root or sudo to add a deb-src entry and the build tools).
# Environment: TAVRIN_CACHE (default ${XDG_CACHE_HOME:-~/.cache}/tavrin), TAVRIN_QT_SHARED (the
# folder with the ready build; default ../shared/toolchains from the clone's parent).
# Messages go to standard error; the exit code is non-zero when no Qt could be provided.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cache=${TAVRIN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tavrin}
shared=${TAVRIN_QT_SHARED:-$root/../shared/toolchains}

say() { echo "qt-mingw: $*" >&2; }

# Only a Qt of the host's version works with the host's code generators.
host_version=$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null | sed 's/^[0-9]*://; s/[+~-].*//') || true
[ -n "$host_version" ] || { say "qt6-base-dev is not installed (scripts/deps.sh installs it)"; exit 1; }
tarball=$shared/qt$host_version-mingw-x86_64-static.tar.xz

# A finished copy carries a stamp; a run cut short leaves none and is redone.
ready() { [ -f "$1/.tavrin-complete" ] && [ -f "$1/lib/cmake/Qt6/qt.toolchain.cmake" ]; }

from_tarball() {
    [ -f "$tarball" ] && [ -f "$tarball.sha256" ] || return 1
    local sum
    sum=$(awk '{ print $1; exit }' "$tarball.sha256")
    local dest=$cache/qt$host_version-mingw-${sum:0:16}
    if ready "$dest/qt6-mingw"; then
        echo "$dest/qt6-mingw"
        return 0
    fi
    if ! (cd "$(dirname "$tarball")" && sha256sum --quiet -c "$(basename "$tarball").sha256") >&2; then
        say "the checksum of $tarball does not hold; not using it"
        return 1
    fi
    say "unpacking $(basename "$tarball") into $dest"
    rm -rf "$dest"
    mkdir -p "$dest"
    tar xf "$tarball" -C "$dest"
    ready_stamp "$dest/qt6-mingw"
    echo "$dest/qt6-mingw"
}

ready_stamp() {
    [ -f "$1/lib/cmake/Qt6/qt.toolchain.cmake" ] || { say "no Qt toolchain file in $1"; return 1; }
    date -u +%FT%TZ >"$1/.tavrin-complete"
}

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        env DEBIAN_FRONTEND=noninteractive "$@"
    else
        command -v sudo >/dev/null || { say "need root or sudo for: $*"; return 1; }
        sudo env DEBIAN_FRONTEND=noninteractive "$@"
    fi
}

from_source() {
    local prefix=$cache/qt$host_version-mingw-source/qt6-mingw
    if ready "$prefix"; then
        echo "$prefix"
        return 0
    fi
    local work=$cache/qt$host_version-mingw-source/work
    say "building Qt $host_version for MinGW from Debian's qt6-base source package into $prefix"
    say "(about 20-40 minutes on two cores; the log is $work/build.log)"
    rm -rf "$work" "$prefix"
    mkdir -p "$work"
    # The source package comes from a deb-src entry for the same suites as the binary packages.
    if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
        if [ -f /etc/apt/sources.list.d/debian.sources ]; then
            sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
                as_root tee /etc/apt/sources.list.d/qt-src.sources >/dev/null
        else
            sed -n 's/^deb /deb-src /p' /etc/apt/sources.list | as_root tee /etc/apt/sources.list.d/qt-src.list >/dev/null
        fi
    fi
    as_root apt-get update -qq
    as_root apt-get install -y -qq --no-install-recommends cmake ninja-build qt6-base-dev qt6-base-dev-tools \
        g++-mingw-w64-x86-64-posix dpkg-dev xz-utils >/dev/null
    (cd "$work" && apt-get source --download-only "qt6-base=$(dpkg-query -W -f='${Version}' qt6-base-dev)" >/dev/null)
    tar xf "$work"/qt6-base_*.orig.tar.xz -C "$work"
    local src
    src=$(ls -d "$work"/qtbase-everywhere-src-*)
    # Qt 6.4.2's Windows platform plugin reaches for the OpenGL context under dynamicgl even with OpenGL off.
    sed -i 's/^#if QT_CONFIG(dynamicgl)$/#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)/' \
        "$src/src/plugins/platforms/windows/qwindowswindow.cpp"
    cat >"$work/mingw-toolchain.cmake" <<'TC'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
TC
    {
        cmake -G Ninja -S "$src" -B "$work/build" \
            -DCMAKE_TOOLCHAIN_FILE="$work/mingw-toolchain.cmake" \
            -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
            -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF \
            -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
            -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF \
            -DFEATURE_opengl=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_vulkan=OFF -DFEATURE_icu=OFF \
            -DFEATURE_tabletevent=OFF \
            -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF \
            -DFEATURE_system_freetype=OFF -DFEATURE_system_jpeg=OFF &&
            cmake --build "$work/build" &&
            cmake --install "$work/build"
    } >"$work/build.log" 2>&1 || { say "the Qt build failed; the end of $work/build.log:"; tail -n 30 "$work/build.log" >&2; return 1; }
    cp "$work/mingw-toolchain.cmake" "$prefix/mingw-toolchain.cmake"
    # Relocatable: Qt's toolchain file chain-loads the compiler settings from the copy inside the prefix.
    sed -i 's|^set(__qt_initially_configured_toolchain_file ".*")|set(__qt_initially_configured_toolchain_file "${CMAKE_CURRENT_LIST_DIR}/../../../mingw-toolchain.cmake")|' \
        "$prefix/lib/cmake/Qt6/qt.toolchain.cmake"
    ready_stamp "$prefix"
    # The sources and objects take several gigabytes; the installed prefix is all that is used.
    rm -rf "$work"
    echo "$prefix"
}

from_tarball || from_source
