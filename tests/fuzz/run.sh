#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the fuzz targets with clang and runs each: first the inputs kept in regressions/<target>,
# then libFuzzer for FUZZ_SECONDS (default 20) from the seed corpus in corpus/<target>, two
# targets at a time. Any finding fails the run, with its report and its input printed in hex.
# FUZZ_INPUT_TIMEOUT (default 120) bounds one input, in seconds.
# Usage: tests/fuzz/run.sh [Target ...]   (default: every target)
set -euo pipefail
cd "$(dirname "$0")/../.."
fuzz_dir=$PWD/tests/fuzz
build_dir=${TALONARIO_FUZZ_BUILD_DIR:-build-fuzz}
seconds=${FUZZ_SECONDS:-20}
jobs=${FUZZ_JOBS:-$(nproc)}

source scripts/ccache-env "$PWD"
cmake --preset fuzz -B "$build_dir" "${launcher[@]}" >/dev/null
cmake --build "$build_dir" -j"$(nproc)" --target fuzzers

targets=("$@")
if ((${#targets[@]} == 0)); then
    mapfile -t targets < <(find "$build_dir/tests/fuzz" -maxdepth 1 -type f -executable \
        -name 'Fuzz*' -printf '%f\n' | sort)
fi

findings=$PWD/$build_dir/fuzz-findings
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
rm -rf "$findings"
mkdir -p "$findings"

export LC_ALL=C.UTF-8 QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES='*=false'
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export LSAN_OPTIONS=suppressions=$fuzz_dir/lsan.supp
export UBSAN_OPTIONS=print_stacktrace=1

# The input that failed, as bytes: the hex and its printable characters.
show_input() {
    echo "--- input $1 ($(stat -c %s "$1") bytes):"
    od -A d -t x1z -v "$1" | head -n 40
}

# Runs one target; writes its log and a one-line result to $work/<target>.*
fuzz_one() {
    local target=$1
    local program=$PWD/$build_dir/tests/fuzz/$target
    local log=$work/$target.log
    local status=ok
    # The per-input timeout is there to catch hangs. It is wall-clock time, and the fuzzing runs
    # niced beside the tests: a picture declared 512 x 14171 takes 1 s idle and 22 s niced beside
    # four busy processes, so the bound leaves room for that many times more.
    local options=(-print_final_stats=1 -timeout="${FUZZ_INPUT_TIMEOUT:-120}" -rss_limit_mb=3072)
    case $target in
        # zbar's reading of very wide symbols is slow; the encoder's own limits lie below this.
        FuzzBarcode) options+=(-max_len=600) ;;
    esac

    local kept=("$fuzz_dir/regressions/$target"/*)
    if [[ -e ${kept[0]} ]]; then
        for input in "${kept[@]}"; do
            if ! "$program" "$input" >"$log.regression" 2>&1; then
                status=failed
                {
                    echo "== $target fails on the kept input ${input#"$PWD"/}"
                    grep -v '^INFO:' "$log.regression" | tail -n 30
                    show_input "$input"
                } >>"$work/$target.report"
            fi
        done
    fi

    mkdir -p "$work/corpus/$target"
    if [[ -d $fuzz_dir/corpus/$target ]]; then
        cp -r "$fuzz_dir/corpus/$target/." "$work/corpus/$target/"
    fi
    if ! "$program" "${options[@]}" -max_total_time="$seconds" \
        -artifact_prefix="$findings/$target-" "$work/corpus/$target" >"$log" 2>&1; then
        status=failed
        {
            echo "== $target found a fault"
            grep -v -e '^INFO:' -e '^#' "$log" | grep -v -e '^stat::' | tail -n 40
            for input in "$findings/$target"-*; do
                [[ -e $input ]] && show_input "$input"
                echo "Reproduce: $build_dir/tests/fuzz/$target ${input#"$PWD"/}"
            done
        } >>"$work/$target.report"
    fi
    local runs
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    printf '%-18s %-7s %10s executions in %s s\n' "$target" "$status" "${runs:-?}" "$seconds" \
        >"$work/$target.result"
}

running=0
for target in "${targets[@]}"; do
    if ((running >= jobs)); then
        wait -n || true
        running=$((running - 1))
    fi
    fuzz_one "$target" &
    running=$((running + 1))
done
wait || true

failed=0
for target in "${targets[@]}"; do
    if [[ -e $work/$target.report ]]; then
        cat "$work/$target.report"
        failed=1
    fi
done
echo "== fuzz results"
cat "$work"/*.result
if ((failed)); then
    echo "Fuzzing found faults; inputs kept in $build_dir/fuzz-findings." >&2
fi
exit "$failed"
