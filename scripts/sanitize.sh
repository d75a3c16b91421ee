#!/usr/bin/env bash
# Builds the tests with AddressSanitizer and UndefinedBehaviorSanitizer (build-asan) and runs them all, then builds
# the plug-in and the tests with ThreadSanitizer (build-tsan) and runs those that cross threads: the hosted VST3 and
# LV2, link mode, the newsfeed, the editor's timer, host states set while the editor is open and the time-range
# switch. Any sanitizer report fails the run.
# `bash scripts/sanitize.sh asan` or `bash scripts/sanitize.sh tsan` runs one half only.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
command -v clang++ >/dev/null || { echo "sanitize.sh: clang++ is missing (Debian package clang)" >&2; exit 1; }

jobs=${BRINDLEX_JOBS:-$(nproc)}
stages=${1:-asan tsan}

# Optimised a little, with line tables for readable reports; NDEBUG as in the shipped build.
configure ()
{
    cmake -S . -B "$1" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG" "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG" \
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DBRINDLEX_BUILD_BENCHMARKS=OFF "${@:2}"
}

run_ctest ()
{
    local build=$1
    shift
    (cd "$build" && xvfb-run -a -s "-screen 0 1920x1080x24" ctest --output-on-failure --parallel "$jobs" --timeout 1800 "$@")
}

if [[ " $stages " == *" asan "* ]]; then
    # The same build serves the fuzz targets (scripts/fuzz.sh), so the shared code is compiled once for both.
    configure build-asan -DBRINDLEX_BUILD_FUZZERS=ON -DBRINDLEX_SANITIZE=address,undefined
    cmake --build build-asan --parallel "$jobs" --target BrindlexTests BrindlexHostTests
    export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:strict_init_order=1"
    export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:suppressions=$PWD/scripts/sanitizers/ubsan.supp"
    run_ctest build-asan
fi

if [[ " $stages " == *" tsan "* ]]; then
    configure build-tsan -DBRINDLEX_SANITIZE=thread
    cmake --build build-tsan --parallel "$jobs" --target BrindlexTests BrindlexHostTests
    export TSAN_OPTIONS="halt_on_error=1:abort_on_error=1:second_deadlock_stack=1:suppressions=$PWD/scripts/sanitizers/tsan.supp"
    run_ctest build-tsan -R '^(Hosted[A-Za-z0-9]*|LinkMode|[A-Za-z]*Newsfeed[A-Za-z]*|NewsCache)\.|^EditorTest\.TheTimer|^PresetBarTest\.AHostState|Range'
fi
