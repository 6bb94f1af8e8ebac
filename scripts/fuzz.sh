#!/usr/bin/env bash
# Builds the clang fuzz preset and runs one libFuzzer target for a fixed time, then prints what
# it did: runs, runs per second, coverage at the start and at the end, inputs added, findings.
#
# Usage: scripts/fuzz.sh TARGET MINUTES
#   TARGET: scene_reader_fuzz scene_render_fuzz scene_measure_fuzz scene_export_fuzz gem_library_fuzz
#           material_reader_fuzz bmp_reader_fuzz
#
# The corpus grows in build-fuzz/corpus/TARGET and is kept between runs; what crashes, leaks or
# times out is written to build-fuzz/findings/TARGET/. A finding, once mended, belongs in
# fuzz/seeds/findings/ so that every CTest run replays it.
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ $# -ne 2 || ! $2 =~ ^[0-9]+$ || $2 -lt 1 ]]; then
    echo "usage: $0 TARGET MINUTES" >&2
    exit 2
fi
target=$1
minutes=$2
build=build-fuzz
seeds=$build/fuzz/seeds
timeout=10

case $target in
    scene_reader_fuzz | scene_render_fuzz | scene_measure_fuzz | scene_export_fuzz)
        inputs=("$seeds/scenes" fuzz/seeds/findings)
        timeout=30
        max_len=4096 ;;
    gem_library_fuzz) inputs=("$seeds/shapes.gemlib") max_len=4096 ;;
    material_reader_fuzz) inputs=("$seeds/gold.mtl") max_len=2048 ;;
    bmp_reader_fuzz) inputs=(tests/data/bmpsuite/g) max_len=16384 ;;
    *) echo "$0: unknown target \"$target\"" >&2; exit 2 ;;
esac

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "$target" fuzz_seeds fuzz_material_seeds >/dev/null

corpus=$build/corpus/$target
findings=$build/findings/$target
mkdir -p "$corpus" "$findings"
# A single file is a seed of its own: libFuzzer reads folders, so it gets one.
for i in "${!inputs[@]}"; do
    if [[ -f ${inputs[$i]} ]]; then
        folder=$build/seed_files/$target
        mkdir -p "$folder" && cp "${inputs[$i]}" "$folder/"
        inputs[$i]=$folder
    fi
done

log=$build/fuzz_$target.log
started=$SECONDS
set +e
"$build/fuzz/$target" "$corpus" "${inputs[@]}" -max_total_time=$((minutes * 60)) \
    -max_len=$max_len -timeout=$timeout -rss_limit_mb=2560 -print_final_stats=1 \
    -artifact_prefix="$findings/" 2>"$log"
status=$?
set -e
elapsed=$((SECONDS - started))

stat() { grep -m1 "^stat::$1:" "$log" | awk '{print $2}'; }
first_cov=$(grep -m1 -E "INITED cov: " "$log" | sed -E 's/.*cov: ([0-9]+).*/\1/')
last_cov=$(grep -E "^#[0-9]+.*cov: " "$log" | tail -1 | sed -E 's/.*cov: ([0-9]+).*/\1/')
echo "$target: $(stat number_of_executed_units) runs in $((elapsed / 60)) min $((elapsed % 60)) s," \
    "$(stat average_exec_per_sec) runs/s, coverage ${first_cov:-?} -> ${last_cov:-?} edges," \
    "$(stat new_units_added) inputs added, peak $(stat peak_rss_mb) MB," \
    "findings: $(find "$findings" -type f -regex '.*/\(crash\|leak\|timeout\|oom\)-.*' | wc -l)" \
    "(log: $log)"
exit $status
