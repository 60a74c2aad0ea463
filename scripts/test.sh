#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test without a display; then runs the same tests
# built with AddressSanitizer and UndefinedBehaviorSanitizer, and each libFuzzer target for a short
# while. Every step runs even when an earlier one failed, so that one report shows everything; the
# script then exits non-zero if any failed. The last lines are the ctest summaries (sanitizer build,
# then the normal build), which CI reads.
#
# Environment: BUILD_DIR (default build/), SANITIZE_BUILD_DIR (build-asan/), FUZZ_BUILD_DIR
# (build-fuzz/), FUZZ_SECONDS per target (default 15; 0 skips running the fuzzers).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
asan=${SANITIZE_BUILD_DIR:-$root/build-asan}
fuzz=${FUZZ_BUILD_DIR:-$root/build-fuzz}
fuzz_seconds=${FUZZ_SECONDS:-15}
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

failures=()
started=$SECONDS
phase_started=$SECONDS

phase() {
    echo "== $1 (after $((SECONDS - started)) s)"
    phase_started=$SECONDS
}

phase_done() {
    echo "== $1 took $((SECONDS - phase_started)) s"
}

set -e
bash "$root/scripts/deps.sh"
set +e

phase "build"
bash "$root/scripts/build.sh" || failures+=("build")
phase_done "build"

phase "sanitizer build"
if cmake -S "$root" -B "$asan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVRIN_SANITIZE=ON >/dev/null &&
    cmake --build "$asan" --parallel "$jobs"; then
    :
else
    failures+=("sanitizer build")
fi
phase_done "sanitizer build"

phase "fuzz build"
fuzz_built=0
if cmake -S "$root" -B "$fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
    -DTAVRIN_FUZZ=ON -DBUILD_TESTING=OFF >/dev/null &&
    cmake --build "$fuzz" --target fuzz --parallel "$jobs"; then
    fuzz_built=1
else
    failures+=("fuzz build")
fi
phase_done "fuzz build"

if [ "$fuzz_built" = 1 ] && [ "$fuzz_seconds" -gt 0 ]; then
    phase "fuzzing, $fuzz_seconds s per target"
    corpus=$fuzz/corpus
    mkdir -p "$fuzz/artifacts" "$fuzz/logs"
    if ! "$fuzz/fuzz/tavrin-fuzz-corpus" "$corpus"; then
        failures+=("fuzz corpus")
    fi
    for target in tables codepage namelist open patch; do
        log=$fuzz/logs/$target.log
        # Per-input leak checks are off: every target keeps its document between inputs on purpose,
        # and the sanitizer test run checks for leaks. A slow input (30 s) counts as a hang.
        if "$fuzz/fuzz/fuzz_$target" "$corpus/$target" -max_total_time="$fuzz_seconds" -timeout=30 \
            -detect_leaks=0 -print_final_stats=1 -artifact_prefix="$fuzz/artifacts/$target-" >"$log" 2>&1; then
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
if [ ${#failures[@]} -gt 0 ]; then
    echo "FAILED so far: ${failures[*]}"
fi
echo "== $((SECONDS - started)) s so far; the normal build's tests come last"
(cd "$build" && ctest --output-on-failure --parallel "$jobs") || failures+=("tests")
[ ${#failures[@]} -eq 0 ]
