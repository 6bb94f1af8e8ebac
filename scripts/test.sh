#!/usr/bin/env bash
# Installs, builds and runs every test: once in the default build, once under
# AddressSanitizer + UndefinedBehaviorSanitizer; the concurrency test also under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
# Includes that break the layers' direction fail before anything is built.
echo "== layers"
bash scripts/check_layers.sh
jobs=$(nproc)
# The three builds compile the OpenVDB and CGAL templates again each time; ccache keeps what an
# earlier run on this machine compiled (paths taken relative to the clone, so any clone hits).
if command -v ccache >/dev/null; then
    export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache
    export CCACHE_BASEDIR="$PWD"
fi
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
# removed again. That changes the system, so it runs here only as root (as in CI); a user runs
# scripts/package_test.sh by hand, which installs and removes through sudo.
if [ "$(id -u)" -eq 0 ]; then
    echo "== package"
    bash scripts/package_test.sh default
else
    echo "== package: not root, skipped; bash scripts/package_test.sh runs it (apt through sudo)"
fi
