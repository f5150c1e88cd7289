#!/usr/bin/env bash
# Runs every fuzz target for the given number of seconds, JOBS at a time, each from its
# committed seeds in fuzz/corpus/<target>/ plus what earlier runs found in <build>/corpus/.
# Findings land in <build>/findings/; the run fails when any target reports one.
#   fuzz/run.sh <build folder> <seconds> [jobs]
set -euo pipefail
build=$1
seconds=$2
jobs=${3:-2}
here=$(cd "$(dirname "$0")" && pwd)
targets=(tiff_read tiff_update geotiff world_file format path)

mkdir -p "$build/findings" "$build/logs"
run_one() {
    local target=$1 build=$2 seconds=$3 here=$4
    mkdir -p "$build/corpus/$target"
    # Bounded memory (a malformed file must never make the code allocate without limit)
    # and a per-input time limit (never hang).
    if nice -n 19 "$build/${target}_fuzzer" "$build/corpus/$target" "$here/corpus/$target" \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=512 \
        -max_len=8192 -print_final_stats=1 -artifact_prefix="$build/findings/$target-" \
        >"$build/logs/$target.log" 2>&1; then
        echo "fuzz $target: $(grep -E '^stat::number_of_executed_units' "$build/logs/$target.log" | awk '{print $2}') executions, no finding"
    else
        echo "fuzz $target: FINDING, see $build/logs/$target.log"
        tail -n 40 "$build/logs/$target.log"
        return 1
    fi
}
export -f run_one
printf '%s\n' "${targets[@]}" |
    xargs -P "$jobs" -I{} bash -c 'run_one "$@"' _ {} "$build" "$seconds" "$here"
