#!/usr/bin/env bash
# Applies each single-line fault of a fault table to a scratch copy of a source tree, rebuilds the test
# programs incrementally and runs the suite, to see which faults the suite catches.
#
#   tools/mutants/run-mutants.sh [-t TREE] [-f FAULTS] [-o RESULTS] [-w WORKDIR] [-s SECONDS] [ID...]
#
#   -t TREE     tree to test (default: the tree holding this script); it is never modified
#   -f FAULTS   fault table (default: tools/mutants/faults.tsv of TREE, else the one next to this script)
#   -o RESULTS  results table to write (default: tools/mutants/results.tsv of TREE)
#   -w WORKDIR  scratch copy (WORKDIR/tree, built in WORKDIR/tree/build-mutants) and logs (WORKDIR/logs);
#               default TREE/build-mutants
#   -s SECONDS  time limit of one suite run (default: 900)
#   ID...       only these faults
#
# Fault table: tab-separated id, file, original text (must occur exactly once in the file), replacement,
# description; lines starting with # are ignored. Results: id, description, result, seconds, failed tests.
# result is "caught" (a test failed twice, crashed or the run timed out), "missed", "not compiled" or
# "not applicable" (the original text is no longer found exactly once). A "baseline" row comes first:
# the unmodified suite must pass, or every result would be meaningless.
set -uo pipefail

script_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
tree=$(cd "$script_dir/../.." && pwd)
faults=""
results=""
work=""
suite_limit=900

while getopts "t:f:o:w:s:" opt; do
    case $opt in
        t) tree=$(cd "$OPTARG" && pwd) ;;
        f) faults=$(realpath "$OPTARG") ;;
        o) results=$(realpath -m "$OPTARG") ;;
        w) work=$(realpath -m "$OPTARG") ;;
        s) suite_limit=$OPTARG ;;
        *) sed -n '2,20p' "$0"; exit 2 ;;
    esac
done
shift $((OPTIND - 1))
only=("$@")

if [[ -z $faults ]]; then
    faults=$tree/tools/mutants/faults.tsv
    [[ -f $faults ]] || faults=$script_dir/faults.tsv
fi
[[ -n $results ]] || results=$tree/tools/mutants/results.tsv
[[ -n $work ]] || work=$tree/build-mutants
copy=$work/tree
# The build folder sits inside the copy as it does in a working tree, so that ccache finds earlier builds.
build=$copy/build-mutants
log=$work/logs
mkdir -p "$copy" "$build" "$log"

export CCACHE_BASEDIR=${CCACHE_BASEDIR:-/work} CCACHE_DIR=${CCACHE_DIR:-/work/.ccache}
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi

# The scratch copy keeps file times, so that only what a fault touches is rebuilt.
find "$copy" -mindepth 1 -maxdepth 1 ! -name build-mutants -exec rm -rf {} +
tar -C "$tree" --exclude='./build*' --exclude='./cmake-build*' --exclude='./.git' -cf - . | tar -C "$copy" -xpf -

cmake -S "$copy" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBRINDLEX_BUILD_BENCHMARKS=OFF "${launcher[@]}" \
    >"$log/configure.log" 2>&1 || { echo "configure failed, see $log/configure.log" >&2; exit 1; }

# The faulty file is put back even when the run is interrupted; a fresh time makes the next build recompile it.
current_file=""
restore() {
    if [[ -n $current_file && -f $work/original ]]; then
        cp "$work/original" "$current_file"
        touch "$current_file"
    fi
    current_file=""
}
trap 'restore; exit 130' INT TERM
trap restore EXIT

# Replaces the text in the file when it occurs exactly once; exit 3 otherwise.
apply_fault() {
    python3 - "$1" "$2" "$3" <<'EOF'
import sys
path, old, new = sys.argv[1:4]
text = open(path, encoding="utf-8").read()
if text.count(old) != 1:
    sys.exit(3)
open(path, "w", encoding="utf-8").write(text.replace(old, new))
EOF
}

build_suite() {
    cmake --build "$build" --parallel 3 --target BrindlexTests BrindlexHostTests BrindlexRealtimeTests >"$1" 2>&1
}

# Runs the test programs through CTest under a virtual display; prints the failed tests. Tests that fail
# are run once more, one at a time: a fault counts as caught only by a test that fails both times (a test
# that passes the second time is listed as flaky and does not count).
run_suite() {
    local out=$1
    (cd "$build" && timeout -k 30 "$suite_limit" xvfb-run -a -s "-screen 0 1920x1080x24" \
        ctest --parallel 3 --output-on-failure >"$out" 2>&1)
    local rc=$?
    if ((rc == 124 || rc == 137)); then
        echo "suite timed out"
        return 1
    fi
    ((rc == 0)) && return 0

    local first
    first=$(failed_tests "$out")
    (cd "$build" && timeout -k 30 "$suite_limit" xvfb-run -a -s "-screen 0 1920x1080x24" \
        ctest --rerun-failed --output-on-failure >"${out%.log}-rerun.log" 2>&1)
    rc=$?
    if ((rc == 124 || rc == 137)); then
        echo "$first; rerun timed out"
        return 1
    fi
    if ((rc == 0)); then
        echo "flaky: $first"
        return 0
    fi
    failed_tests "${out%.log}-rerun.log"
    return 1
}

failed_tests() {
    sed -n '/tests FAILED:/,$p' "$1" | grep -E '^[[:space:]]*[0-9]+ - ' \
        | sed -E 's/^[[:space:]]*[0-9]+ - //; s/[[:space:]]+/ /g' | head -5 | paste -sd ';' -
}

selected() {
    ((${#only[@]} == 0)) && return 0
    local i
    for i in "${only[@]}"; do [[ $i == "$1" ]] && return 0; done
    return 1
}

printf 'id\tdescription\tresult\tseconds\tfailed tests\n' >"$results"

start=$(date +%s)
if ! build_suite "$log/baseline-build.log"; then
    printf 'baseline\tunmodified tree\tnot compiled\t%s\t\n' $(($(date +%s) - start)) >>"$results"
    echo "the unmodified tree does not build, see $log/baseline-build.log" >&2
    exit 1
fi
failed=$(run_suite "$log/baseline-test.log")
rc=$?
if ((rc != 0)); then
    printf 'baseline\tunmodified tree\tfails\t%s\t%s\n' $(($(date +%s) - start)) "$failed" >>"$results"
    echo "the unmodified suite fails ($failed), see $log/baseline-test.log" >&2
    exit 1
fi
printf 'baseline\tunmodified tree\tpasses\t%s\t%s\n' $(($(date +%s) - start)) "$failed" >>"$results"

while IFS=$'\t' read -r id file original replacement description; do
    [[ -z $id || $id == \#* ]] && continue
    selected "$id" || continue

    start=$(date +%s)
    target=$copy/$file
    failed=""

    if [[ ! -f $target ]]; then
        result="not applicable"
    else
        cp "$target" "$work/original"
        current_file=$target
        apply_fault "$target" "$original" "$replacement"
        case $? in
            0)
                if ! build_suite "$log/$id-build.log"; then
                    result="not compiled"
                elif failed=$(run_suite "$log/$id-test.log"); then
                    result="missed"
                else
                    result="caught"
                fi
                ;;
            3) result="not applicable" ;;
            *) result="error" ;;
        esac
        restore
    fi

    seconds=$(($(date +%s) - start))
    printf '%s\t%s\t%s\t%s\t%s\n' "$id" "$description" "$result" "$seconds" "$failed" >>"$results"
    printf '%-28s %-15s %4ss %s\n' "$id" "$result" "$seconds" "$failed"
done <"$faults"

# Leaves the build matching the unmodified copy for the next run.
build_suite "$log/final-build.log" || true
