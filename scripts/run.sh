#!/usr/bin/env bash
# Installs, builds, lists a bundled sample scene and renders every sample to
# build/pictures/NAME.png.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset default
cmake --build --preset default
./build/bin/orva info build/bin/samples/solitaire_ring.orv
mkdir -p build/pictures
for scene in build/bin/samples/*.orv; do
    name=$(basename "$scene" .orv)
    ./build/bin/orva render "$scene" -o "build/pictures/$name.png" --zoom-all --stats
done
echo "Rendered pictures: build/pictures/"
# With a display, the viewer opens the solitaire sample.
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    ./build/bin/orvaview build/bin/samples/solitaire_ring.orv
fi
