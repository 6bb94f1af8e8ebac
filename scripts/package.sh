#!/usr/bin/env bash
# Builds the Debian package orvaview_<version>_<arch>.deb and prints its path as the last line
# of its output. From the release build by default; `package.sh default` packages the default
# build instead (the one scripts/test.sh has already built, so CI pays only for packaging).
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-release}
case "$preset" in
    release) build_dir=build-release ;;
    default) build_dir=build ;;
    *) echo "usage: $0 [release|default]" >&2; exit 2 ;;
esac
# Configure and build messages go to stderr, so that the path is all that reaches stdout.
cmake --preset "$preset" >&2
cmake --build --preset "$preset" -j "$(nproc)" --target package_contents >&2
# A package left from an earlier run must not pass for this one.
rm -f "$build_dir"/orvaview_*.deb
cpack --preset "$preset" >&2
packages=("$build_dir"/orvaview_*.deb)
if [ ! -f "${packages[0]}" ]; then
    echo "cpack made no orvaview_*.deb in $build_dir" >&2
    exit 1
fi
realpath "${packages[0]}"
