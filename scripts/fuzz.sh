#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time
# (FUZZ_SECONDS, default 60), failing on any finding. New inputs go to a scratch
# corpus in the build tree; a crash leaves its input there as crash-<hash>: copy
# it into the target's corpus under tests/fuzz/ so the test build replays it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh clang libclang-rt-14-dev
build_dir=build-fuzz  # the fuzz preset's folder
cmake --preset fuzz "$@"
cmake --build --preset fuzz -j"$(nproc)"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The longest input each target takes: a menu file and a little more, a CSV
# of a whole menu, a workbook as a spreadsheet program writes it.
max_len() {
    case $1 in
        csv) echo 8192 ;;
        workbook) echo 16384 ;;
        *) echo 4000 ;;
    esac
}

for seeds in tests/fuzz/*/; do
    what=$(basename "$seeds")
    scratch="$build_dir/corpus/$what"
    mkdir -p "$scratch"
    log="$build_dir/fuzz_$what.log"
    dict=()
    [[ -f tests/fuzz/$what.dict ]] && dict=(-dict="tests/fuzz/$what.dict")
    echo "== fuzz_$what for ${FUZZ_SECONDS:-60} s =="
    if ! "$build_dir/tests/fuzz/fuzz_$what" -max_len="$(max_len "$what")" -max_total_time="${FUZZ_SECONDS:-60}" "${dict[@]}" \
        -print_final_stats=1 -artifact_prefix="$build_dir/" "$scratch" "$seeds" >"$log" 2>&1; then
        tail -n 60 "$log"
        echo "fuzz_$what found a fault; its input is saved under $build_dir/"
        exit 1
    fi
    grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$log"
done
