#!/usr/bin/env bash
# Installs, builds and runs every test: once in the default build, once under
# AddressSanitizer + UndefinedBehaviorSanitizer; the concurrency test also under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs=$(nproc)
for preset in default asan; do
    echo "== $preset"
    cmake --preset "$preset"
    cmake --build --preset "$preset" -j "$jobs"
    ctest --preset "$preset" -j "$jobs"
done
# Renders running side by side in one process share nothing: the concurrency test under
# ThreadSanitizer.
echo "== tsan"
cmake --preset tsan
cmake --build --preset tsan -j "$jobs" --target samples_tests
ctest --preset tsan -R ConcurrentPictures
# The Debian package, made from the default build above: installed on this machine, used and
# removed again (needs root or sudo).
echo "== package"
bash scripts/package_test.sh default
