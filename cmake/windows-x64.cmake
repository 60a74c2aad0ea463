# Cross build for 64-bit Windows: Debian's MinGW-w64 compilers and the static Qt for MinGW that
# scripts/qt-mingw.sh unpacks or builds. TAVRIN_QT_MINGW (a cache entry or the environment) names
# that Qt's prefix; the host's moc, rcc and uic (qt6-base-dev-tools, same version) serve the build.
if(NOT TAVRIN_QT_MINGW)
    set(TAVRIN_QT_MINGW "$ENV{TAVRIN_QT_MINGW}")
endif()
if(NOT EXISTS "${TAVRIN_QT_MINGW}/lib/cmake/Qt6/qt.toolchain.cmake")
    message(FATAL_ERROR "No Qt for MinGW at '${TAVRIN_QT_MINGW}': run scripts/qt-mingw.sh and pass the folder it "
                        "prints as -DTAVRIN_QT_MINGW=... or in the environment variable TAVRIN_QT_MINGW.")
endif()
set(TAVRIN_QT_MINGW "${TAVRIN_QT_MINGW}" CACHE PATH "Prefix of the static Qt for MinGW")
# The compiler checks run in separate projects that read this file again.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TAVRIN_QT_MINGW)

# Qt's own toolchain file sets the MinGW compilers, windres and the search roots, and finds Qt in the prefix.
include("${TAVRIN_QT_MINGW}/lib/cmake/Qt6/qt.toolchain.cmake")
set(QT_HOST_PATH /usr CACHE PATH "Host Qt whose tools the cross build runs")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/${CMAKE_LIBRARY_ARCHITECTURE}/cmake CACHE PATH "")
if(NOT EXISTS "${QT_HOST_PATH_CMAKE_DIR}/Qt6CoreTools")
    set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "" FORCE)
endif()

# One .exe without DLLs: the C and C++ runtimes and zlib (libz-mingw-w64-dev) link statically too.
set(ZLIB_USE_STATIC_LIBS ON)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
