#!/usr/bin/env bash
# Installs what is missing and builds the programs; builds the Debian package, installs it, starts the
# installed editor and removes the package again; runs every test without a display, built with
# AddressSanitizer and UndefinedBehaviorSanitizer, and again cross-built for Windows under Wine; and
# each libFuzzer target for a short while. The normal build leaves the tests out: the two builds that
# run them are the ones that find more, and compiling the tests a third time was a fifth of the run.
# Every step runs even when an earlier one failed, so that one report shows everything; the script
# then exits non-zero if any failed. The last lines are the sanitizer build's ctest summary, which CI
# reads. Each phase prints how long it took.
#
# Environment: BUILD_DIR (default build/), SANITIZE_BUILD_DIR (build-asan/, also the fuzz targets'),
# FUZZ_SECONDS per target (default 10; 0 skips running the fuzzers), PACKAGE_TEST
# (default 1; 0 skips installing the package, for machines where that is not wanted), WIN_BUILD_DIR
# (build-win/), WINDOWS_TEST (default 1; 0 skips the Windows build and its tests under Wine).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
asan=${SANITIZE_BUILD_DIR:-$root/build-asan}
fuzz=$asan
win=${WIN_BUILD_DIR:-$root/build-win}
fuzz_seconds=${FUZZ_SECONDS:-10}
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

failures=()
started=$SECONDS
phase_started=$SECONDS

# CPU seconds used by the script's finished children so far: on a machine shared with other work
# this says more about a phase's cost than the time it took.
# `times` runs in this shell, not in a command substitution, whose children would be its own.
times_file=$(mktemp)
trap 'rm -f "$times_file"' EXIT
children_cpu() {
    times >"$times_file"
    children_cpu_now=$(awk 'NR == 2 { split($1, u, /[ms]/); split($2, s, /[ms]/)
        printf "%d", u[1] * 60 + u[2] + s[1] * 60 + s[2] }' "$times_file")
}
phase_cpu_started=0

phase() {
    echo "== $1 (after $((SECONDS - started)) s)"
    phase_started=$SECONDS
    children_cpu
    phase_cpu_started=$children_cpu_now
}

phase_done() {
    children_cpu
    echo "== $1 took $((SECONDS - phase_started)) s, CPU $((children_cpu_now - phase_cpu_started)) s"
}

set -e
bash "$root/scripts/deps.sh"
set +e

phase "build"
bash "$root/scripts/build.sh" -DBUILD_TESTING=OFF || failures+=("build")
phase_done "build"

# The package check mostly waits on dpkg and on the editor it starts: it runs beside the sanitizer
# build, and its report is printed when that is done.
package_pid=
package_log=$(mktemp)
trap 'rm -f "$times_file" "$package_log"' EXIT
if [ "${PACKAGE_TEST:-1}" = 1 ]; then
    (
        package_started=$SECONDS
        bash "$root/scripts/package.sh" "$build" && status=0 || status=$?
        echo "== package took $((SECONDS - package_started)) s, beside the sanitizer build"
        exit $status
    ) >"$package_log" 2>&1 &
    package_pid=$!
else
    echo "PACKAGE_TEST=0: the package is not built or installed"
fi

# Only what the sanitizer run tests, and the fuzz targets, which need the same sanitizers: one clang
# build compiles the libraries once for both (no benchmarks).
phase "sanitizer build"
fuzz_built=0
# CMake cannot switch an existing folder to another compiler: one that g++ configured starts afresh.
if [ -f "$asan/CMakeCache.txt" ] && ! grep -q '^CMAKE_CXX_COMPILER:.*clang' "$asan/CMakeCache.txt"; then
    rm -rf "$asan"
fi
if BUILD_DIR=$asan bash "$root/scripts/build.sh" -DCMAKE_CXX_COMPILER=clang++-14 -DTAVRIN_SANITIZE=ON \
    -DTAVRIN_FUZZ=ON -DTAVRIN_BENCH=OFF; then
    fuzz_built=1
else
    failures+=("sanitizer build")
fi
phase_done "sanitizer build"

if [ -n "$package_pid" ]; then
    echo "== package"
    wait "$package_pid" || failures+=("package")
    cat "$package_log"
fi

if [ "$fuzz_built" = 1 ] && [ "$fuzz_seconds" -gt 0 ]; then
    phase "fuzzing, $fuzz_seconds s per target, $jobs at a time"
    corpus=$fuzz/corpus
    mkdir -p "$fuzz/artifacts" "$fuzz/logs"
    if ! "$fuzz/fuzz/tavrin-fuzz-corpus" "$corpus"; then
        failures+=("fuzz corpus")
    fi
    # Each target is single-threaded: as many run side by side as there are cores.
    running=()
    for target in tables codepage namelist open patch sequence; do
        while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do
            wait -n
        done
        # Per-input leak checks are off: every target keeps its document between inputs on purpose,
        # and the sanitizer test run checks for leaks. The check at exit stays, past the font caches
        # of the system libraries (the sequence target's window has them). A slow input (30 s) counts
        # as a hang.
        LSAN_OPTIONS=suppressions=$root/scripts/lsan-suppressions.txt \
            "$fuzz/fuzz/fuzz_$target" "$corpus/$target" -max_total_time="$fuzz_seconds" -timeout=30 \
            -detect_leaks=0 -print_final_stats=1 -artifact_prefix="$fuzz/artifacts/$target-" \
            >"$fuzz/logs/$target.log" 2>&1 &
        running+=("$target:$!")
    done
    for entry in "${running[@]}"; do
        target=${entry%%:*}
        log=$fuzz/logs/$target.log
        if wait "${entry#*:}"; then
            runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
            speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
            files=$(find "$corpus/$target" -type f | wc -l)
            echo "fuzz_$target: ${runs:-?} runs, ${speed:-?}/s, corpus $files files"
        else
            echo "fuzz_$target FAILED; the end of $log:"
            tail -n 40 "$log"
            failures+=("fuzz_$target")
        fi
    done
    phase_done "fuzzing"
fi

# The Windows build, cross-compiled (scripts/windows.sh, which also packs the zip), and its test
# executables run under Wine. WINDOWS_TEST=0 skips both.
if [ "${WINDOWS_TEST:-1}" = 1 ]; then
    phase "windows build"
    # Making a Wine prefix is mostly waiting: it is done beside the compiles.
    bash "$root/scripts/wine-tests.sh" --prefix "$win" &
    prefix_pid=$!
    if WIN_BUILD_DIR=$win bash "$root/scripts/windows.sh"; then
        wait "$prefix_pid"
        phase_done "windows build"
        phase "windows tests under Wine"
        bash "$root/scripts/wine-tests.sh" "$win" || failures+=("windows tests")
        phase_done "windows tests under Wine"
    else
        wait "$prefix_pid"
        failures+=("windows build")
        phase_done "windows build"
    fi
fi

if [ ${#failures[@]} -gt 0 ]; then
    echo "FAILED so far: ${failures[*]}"
fi
phase "tests"
# The sanitizers stop at the first report, and a leak fails the test; LeakSanitizer ignores only the
# system libraries named in the suppression file.
(
    cd "$asan" &&
        ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=1 \
            UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
            LSAN_OPTIONS=suppressions=$root/scripts/lsan-suppressions.txt \
            ctest --output-on-failure --parallel "$jobs"
) || failures+=("sanitizer tests")
[ ${#failures[@]} -eq 0 ]
