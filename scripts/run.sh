#!/usr/bin/env bash
# Installs, builds, lists the bundled sample scene and renders it to build/first_ring.png.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset default
cmake --build --preset default
./build/bin/orva info build/bin/samples/first_ring.orv
./build/bin/orva render build/bin/samples/first_ring.orv -o build/first_ring.png --zoom-all --stats
echo "Rendered picture: build/first_ring.png"
