#!/usr/bin/env bash
# Runs every cross-built test executable of a Windows build folder (default build-win/) under Wine,
# once per executable (each start of Wine costs seconds), as many at once as there are cores, with
# each test class's report in its own file; prints the reports of failed classes, the reasons of skipped tests and one line per class.
# Exits non-zero if a class failed, an executable crashed or hung, or no test ran.
# With --prefix first, it only makes the folder's Wine prefix, which the build need not have made yet.
# Environment: WINE_TEST_TIMEOUT per executable in seconds (default 600).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
prefix_only=0
if [ "${1:-}" = --prefix ]; then
    prefix_only=1
    shift
    mkdir -p "${1:-$root/build-win}"
fi
build=$(cd "${1:-$root/build-win}" && pwd)
timeout=${WINE_TEST_TIMEOUT:-600}
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all
# No windows of Wine's own (the prefix set-up asks to install Mono and Gecko otherwise).
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
results=$build/wine-results

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    started=$SECONDS
    wineboot --init >/dev/null 2>&1
    wineserver --wait
    echo "created the Wine prefix $WINEPREFIX in $((SECONDS - started)) s"
fi
[ "$prefix_only" = 0 ] || exit 0

mapfile -t executables < <(find "$build/tests" -name 'test_*.exe' | sort)
[ ${#executables[@]} -gt 0 ] || { echo "no test executables in $build/tests" >&2; exit 1; }

# QTest's report does not come through Wine's standard output; it goes to files. Widget tests pick
# the offscreen platform themselves (Wine does not pass QT_QPA_PLATFORM on).
run_one() {
    local exe=$1 out=$2 started=$SECONDS status
    (cd "$out" && timeout --kill-after=10 "$timeout" wine "$exe" -o "$out/{class}.txt,txt" >"$out/console.log" 2>&1)
    status=$?
    echo "$status $((SECONDS - started))" >"$out/status"
}

# As many executables at once as there are cores; the biggest first, so that the longest starts first.
jobs=$(nproc)
for exe in $(ls -S "${executables[@]}"); do
    out=$results/$(basename "$exe" .exe)
    rm -rf "$out"
    mkdir -p "$out"
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do
        wait -n
    done
    run_one "$exe" "$out" &
done
wait

failed=()
classes=0
for exe in "${executables[@]}"; do
    name=$(basename "$exe" .exe)
    out=$results/$name
    read -r status seconds <"$out/status" || { status=1; seconds=?; }
    echo "$name: exit $status after $seconds s"
    for report in "$out"/*.txt; do
        [ -f "$report" ] || continue
        class=$(basename "$report" .txt)
        classes=$((classes + 1))
        totals=$(grep -a '^Totals:' "$report" | tail -n 1)
        if [ -z "$totals" ]; then
            echo "  $class: ended without totals (crash or hang); its report:"
            sed 's/^/    /' "$report"
            failed+=("$name $class")
        elif ! grep -q ' 0 failed' <<<"$totals"; then
            echo "  $class FAILED: $totals"
            grep -a -A 3 '^FAIL!' "$report" | sed 's/^/    /'
            failed+=("$name $class")
        else
            echo "  $class: $totals"
        fi
        grep -a -A 1 '^SKIP' "$report" | grep -av '^--$' | sed 's/^/    /'
    done
    if [ "$status" -ne 0 ] && [ ${#failed[@]} -eq 0 -o "${failed[-1]%% *}" != "$name" ]; then
        echo "  $name exited with $status but no class failed; its console:"
        sed 's/^/    /' "$out/console.log"
        failed+=("$name")
    fi
done
wineserver --kill 2>/dev/null || true

if [ "$classes" -eq 0 ]; then
    echo "no test class reported" >&2
    exit 1
fi
if [ ${#failed[@]} -gt 0 ]; then
    echo "FAILED under Wine: ${failed[*]}"
    exit 1
fi
echo "all $classes test classes passed under Wine"
