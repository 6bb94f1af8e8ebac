#!/usr/bin/env bash
# Installs what building and testing need on Debian 12. Uses sudo when not run as root and
# skips apt-get entirely when everything is already there; then installs the npm packages of
# package.json into node_modules/ as the user who runs it, unless they are there already.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    g++ cmake ninja-build pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev
    nlohmann-json3-dev libcli11-dev libpng-dev libjpeg62-turbo-dev
    # The turntable's animations: animated WebP, H.264 video in MP4 (libx264 through FFmpeg) and
    # GIF (FFmpeg's encoder, its palette made by FFmpeg's filters).
    libwebp-dev libavcodec-dev libavformat-dev libavfilter-dev libswscale-dev libavutil-dev
    libgl-dev libegl-dev libegl-mesa0 libgl1-mesa-dri libgbm1
    # The jeweller's report on paper: the page laid out with pango, drawn with cairo into a PDF.
    libcairo2-dev libpango1.0-dev
    # Its tests read the PDF back with poppler's pdftotext and pdfimages.
    poppler-utils
    # The piece as closed meshes: the metal as an OpenVDB level set meshed, written to STL by
    # our code and to 3MF through libzip; the tests check the files with CGAL and lib3mf.
    libopenvdb-dev libzip-dev libcgal-dev lib3mf-dev
    # The desktop viewer and its window tests, which run under a private X server.
    qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev xvfb xauth
    # The tools that make the registered file type take effect, and that its test runs.
    shared-mime-info desktop-file-utils
    # The Debian package: dependencies read off the programs (dpkg-shlibdeps, file), the check
    # of the package (lintian; without it the package test skips that step) and the lookup of
    # the program for the type once installed (xdg-mime).
    dpkg-dev file lintian xdg-utils
    # Keeps compiled objects between the builds of one machine (see scripts/test.sh).
    ccache
    # The check of the includes' layering.
    python3-minimal
    # The piece as glTF for the web: written through tinygltf, its vertices quantised with
    # meshoptimizer; the tests open the exported page in a real browser.
    libtinygltf-dev libmeshoptimizer-dev chromium
)
# npm brings the web component the exported page inlines and the checkers of the web tests
# (package.json). A Node.js that came from elsewhere (and brought its own npm) is kept: Debian's
# npm would replace it.
command -v npm >/dev/null || packages+=(nodejs npm)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -ne 0 ]; then
    as_root=()
    [ "$(id -u)" -ne 0 ] && as_root=(sudo)
    echo "Installing: ${missing[*]}"
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# npm writes node_modules/.package-lock.json at the end of every install: when it is missing or
# older than the lock, node_modules is missing, half made or stale. npm ci installs exactly what
# the lock says; no package runs install scripts (puppeteer-core downloads no browser, the tests
# use Debian's chromium).
if [ ! -f node_modules/.package-lock.json ] || [ package-lock.json -nt node_modules/.package-lock.json ]; then
    echo "Installing the npm packages of package-lock.json"
    npm ci --no-audit --no-fund --ignore-scripts
fi
