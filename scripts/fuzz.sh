#!/usr/bin/env bash
# Builds the fuzz targets (clang's libFuzzer with AddressSanitizer and UndefinedBehaviorSanitizer, in build-asan,
# which scripts/sanitize.sh shares) and runs each from its seed corpus in fuzz/corpus/ for a bounded number of
# inputs. A crash, leak or sanitizer report fails the run; the input that caused it is kept in
# build-asan/fuzz-findings/. BRINDLEX_FUZZ_RUNS (default 20000) sets the number of inputs per target, except for
# NewsJsonFuzzer: its request waits for the stream like a network request, about ten inputs a second, so it runs
# BRINDLEX_FUZZ_JSON_RUNS (default 2000). `bash scripts/fuzz.sh PresetFileFuzzer` runs one target only.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
command -v clang++ >/dev/null || { echo "fuzz.sh: clang++ is missing (Debian package clang)" >&2; exit 1; }

jobs=${BRINDLEX_JOBS:-$(nproc)}
runs=${BRINDLEX_FUZZ_RUNS:-20000}
jsonRuns=${BRINDLEX_FUZZ_JSON_RUNS:-2000}
targets=${*:-HostStateFuzzer PresetFileFuzzer SettingsFileFuzzer NewsCacheFuzzer NewsJsonFuzzer}

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG" "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG" \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DBRINDLEX_BUILD_BENCHMARKS=OFF \
    -DBRINDLEX_BUILD_FUZZERS=ON -DBRINDLEX_SANITIZE=address,undefined
cmake --build build-asan --parallel "$jobs" --target BrindlexFuzzers

export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:suppressions=$PWD/scripts/sanitizers/ubsan.supp"

findings=build-asan/fuzz-findings
mkdir -p "$findings"
failed=()

for target in $targets; do
    # New inputs go to a scratch corpus; the committed seeds stay as they are.
    work=build-asan/fuzz-corpus/$target
    mkdir -p "$work"
    targetRuns=$runs
    [ "$target" = NewsJsonFuzzer ] && targetRuns=$jsonRuns
    echo "== $target: $targetRuns inputs"
    "build-asan/fuzz/$target" "$work" "fuzz/corpus/$target" \
        -runs="$targetRuns" -max_len=65536 -timeout=10 -rss_limit_mb=4096 -print_final_stats=1 \
        -artifact_prefix="$findings/$target-" 2>&1 | tee "$findings/$target.log" || failed+=("$target")
done

# The report of a finding is printed again at the end, where it is not lost among the other targets' output.
for target in "${failed[@]}"; do
    echo "== $target: the end of its output (all of it in $findings/$target.log)" >&2
    grep -v -E '^#[0-9]+' "$findings/$target.log" | tail -n 60 >&2
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzz.sh: findings from ${failed[*]} (inputs in $findings)" >&2
    exit 1
fi
