#!/usr/bin/env bash
# Installs, builds, and shows the bundled sample scene.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset default
cmake --build --preset default
./build/bin/orva info build/bin/samples/first_ring.orv
