#!/usr/bin/env bash
# Builds the Debian package from a configured build folder (default build/), checks the desktop
# entry and the AppStream metainfo in it with the validators, installs it with apt-get, starts the
# installed editor without a display on the sample image, and removes the package again. Needs root
# or sudo for the install. Exits non-zero on the first thing that does not hold.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
app_id=com.example.TavrinEditor

as_root=()
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "need root or sudo to install the package" >&2; exit 1; }
    as_root=(sudo)
fi

remove_package() {
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq --purge tavrin-editor >"$work/apt.log" 2>&1
}

work=$(mktemp -d)
editor_pid=
installed=0
# Whatever fails, the machine is left without the package and without a running editor.
cleanup() {
    if [ -n "$editor_pid" ]; then
        kill -KILL "$editor_pid" 2>/dev/null || true
    fi
    if [ "$installed" = 1 ]; then
        remove_package || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# A package left from an earlier run would make the file list below stale.
rm -f "$build"/tavrin-editor_*.deb
cmake --build "$build" --target package >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$build"/tavrin-editor_*.deb)
echo "built $(basename "$deb"): $(dpkg-deb -f "$deb" Depends)"

# The validators check the files as the package ships them.
dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/$app_id.desktop"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/$app_id.metainfo.xml"
# The MIME package on its own, through the tool that builds the system's database from it: both
# patterns lead to the type, which has a Japanese name.
mkdir -p "$work/mime/packages"
cp "$work/root/usr/share/mime/packages/$app_id.xml" "$work/mime/packages/"
update-mime-database "$work/mime" >"$work/mime.log" 2>&1 || { cat "$work/mime.log"; exit 1; }
for pattern in '\*.smc' '\*.sfc'; do
    grep -q "^[0-9]*:application/vnd.nintendo.snes.rom:$pattern$" "$work/mime/globs2" ||
        { echo "the MIME package gives $pattern no type" >&2; exit 1; }
done
grep -q 'xml:lang="ja">カートリッジROMイメージ<' "$work/mime/application/vnd.nintendo.snes.rom.xml" ||
    { echo "the MIME type has no Japanese name" >&2; exit 1; }

"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$deb" \
    >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; exit 1; }
installed=1
echo "installed"
for file in /usr/bin/tavrin-editor /usr/bin/tavrin /usr/share/tavrin-editor/ReadMe.txt \
    "/usr/share/applications/$app_id.desktop" "/usr/share/icons/hicolor/scalable/apps/$app_id.svg" \
    "/usr/share/mime/packages/$app_id.xml" "/usr/share/metainfo/$app_id.metainfo.xml"; do
    [ -f "$file" ] || { echo "missing after install: $file" >&2; exit 1; }
done
# The system's database (rebuilt by its trigger) types both kinds of image.
for pattern in '\*.smc' '\*.sfc'; do
    grep -q "^[0-9]*:application/vnd.nintendo.snes.rom:$pattern$" /usr/share/mime/globs2 ||
        { echo "after install the MIME database gives $pattern no type" >&2; exit 1; }
done
/usr/bin/tavrin --version

# The installed editor on the sample image: it must still be running after a few seconds (a missing
# library or plugin, or a crash on start-up, ends it sooner), have loaded a font file (it laid out
# the texts of its window), and end on SIGTERM.
"$build/tools/sample/tavrin-sample" "$work/sample.smc"
QT_QPA_PLATFORM=offscreen /usr/bin/tavrin-editor "$work/sample.smc" >"$work/editor.log" 2>&1 &
editor_pid=$!
sleep 5
if ! kill -0 "$editor_pid" 2>/dev/null; then
    wait "$editor_pid" && status=0 || status=$?
    echo "the installed editor ended by itself within 5 s (status $status):" >&2
    cat "$work/editor.log" >&2
    exit 1
fi
fonts=$(grep -oE '[^ ]+\.(ttf|ttc|otf)$' "/proc/$editor_pid/maps" | sort -u | xargs -r -n1 basename | paste -sd ' ')
[ -n "$fonts" ] || { echo "the installed editor loaded no font within 5 s" >&2; exit 1; }
kill -TERM "$editor_pid"
wait "$editor_pid" && status=0 || status=$?
editor_pid=
[ "$status" -eq 143 ] || { echo "the installed editor ended with $status on SIGTERM" >&2; exit 1; }
echo "the installed editor ran for 5 s on the sample image (fonts: $fonts) and ended on SIGTERM"

remove_package || { cat "$work/apt.log"; exit 1; }
installed=0
for file in /usr/bin/tavrin-editor /usr/bin/tavrin /usr/share/tavrin-editor \
    "/usr/share/applications/$app_id.desktop"; do
    [ ! -e "$file" ] || { echo "left after removal: $file" >&2; exit 1; }
done
echo "removed"
