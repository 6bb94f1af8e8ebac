#!/usr/bin/env bash
# Exports every sample as the web gets it and has the independent checkers judge the files.
#
#   export_samples.sh glb  ORVA SAMPLES_DIR OUT_DIR NODE VALIDATE_GLB
#   export_samples.sh html ORVA SAMPLES_DIR OUT_DIR NODE PAGE_CHECK
#
# glb: every sample's .glb through the Khronos validator (no error, no warning).
# html: every sample's page opened from disk in headless Chromium (network off) and drawn; the
# screenshots stay in OUT_DIR. The lattice is coarse (0.05 mm) to keep the test short: the
# checks are of the files' form and drawing, which the resolution does not change.
set -euo pipefail
mode=$1 orva=$2 samples=$3 out=$4 node=$5 checker=$6
rm -rf "$out" && mkdir -p "$out"
failed=0
files=()
for scene in "$samples"/*.orv; do
    name=$(basename "$scene" .orv)
    if ! "$orva" export "$scene" -o "$out/$name.$mode" --resolution 0.05 --threads 2 > /dev/null; then
        echo "orva export of $name.$mode failed" >&2
        failed=1
        continue
    fi
    files+=("$out/$name.$mode")
done
[ ${#files[@]} -gt 0 ] || { echo "no sample exported from $samples" >&2; exit 1; }
if [ "$mode" = glb ]; then
    "$node" "$checker" "${files[@]}" || failed=1
else
    for page in "${files[@]}"; do
        "$node" "$checker" "$page" "${page%.html}.png" --json || failed=1
    done
fi
exit $failed
