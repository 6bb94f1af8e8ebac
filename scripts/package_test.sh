#!/usr/bin/env bash
# Installs the Debian package on this machine as a user would, checks that it works and that the
# system registered its file type, removes it and checks that nothing of it is left. Needs root
# (or sudo) and a machine without orvaview installed; the package is removed even when a check
# fails. `package_test.sh default` (what scripts/test.sh runs) packages the default build,
# `package_test.sh release` the release build.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-default}

as_root=()
[ "$(id -u)" -ne 0 ] && as_root=(sudo)
apt_get=("${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -y -q
         -o DPkg::Lock::Timeout=600)
mime_type=application/x-orvaview-document

installed() {
    local status
    status=$(dpkg-query -W -f='${Status}' orvaview 2>/dev/null || true)
    [[ $status == *"ok installed" ]]
}
fail() {
    echo "package test: $*" >&2
    exit 1
}

if installed; then
    fail "orvaview is already installed here; remove it first (apt remove orvaview)"
fi
for tool in xdg-mime file; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/install-deps.sh installs it)"
done
deb=$(bash scripts/package.sh "$preset" | tail -n 1)
build_dir=$(dirname "$deb")
echo "== package test: $deb"

# Debian's own checks of the package; it has neither errors nor warnings, and keeps it so.
if command -v lintian >/dev/null; then
    lintian --fail-on error,warning "$deb"
else
    echo "package test: lintian is not installed, the package's checks are skipped" >&2
fi

work=$(mktemp -d)
cleanup() {
    if installed; then
        echo "package test: removing orvaview after a failed check" >&2
        "${apt_get[@]}" purge orvaview >/dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# Folders of the package that exist before it comes must stay; everything else must go.
dpkg-deb --fsys-tarfile "$deb" | tar -t | sed 's|^\./|/|; s|/$||' | grep -v '^$' >"$work/contents"
while read -r path; do
    [ -e "$path" ] && echo "$path"
done <"$work/contents" >"$work/there_before" || true

"${apt_get[@]}" install --no-install-recommends "$deb"
installed || fail "the package did not install"

# The version the package carries is the one orva prints.
version=$(dpkg-query -W -f='${Version}' orvaview)
[ "$(/usr/bin/orva --version)" = "orva $version" ] ||
    fail "orva --version says '$(/usr/bin/orva --version)', the package is $version"

# Rendered from an unrelated folder with no option naming the data: the picture equals the build
# tree's, which reads the gem library and materials beside it, so the installed orva found its
# data in /usr/share/orvaview.
mkdir -p "$work/render"
render=(--size 96x72 --zoom-all --threads 1)
sample=/usr/share/orvaview/samples/solitaire_ring.orv
(cd "$work/render" && /usr/bin/orva render "$sample" -o installed.png "${render[@]}")
"$build_dir/bin/orva" render "$build_dir/bin/samples/solitaire_ring.orv" \
    -o "$work/render/built.png" "${render[@]}"
cmp -s "$work/render/installed.png" "$work/render/built.png" ||
    fail "the installed orva draws the sample differently: it did not find its data"

# The system's triggers registered the type and its program, for a user with no files of their
# own and no desktop session.
desktop_user=(env -i PATH=/usr/bin:/bin HOME="$work/home")
mkdir -p "$work/home"
grep -q ":$mime_type:\*\.orv$" /usr/share/mime/globs2 ||
    fail "the system's MIME database does not know *.orv"
grep -q "^$mime_type=orvaview.desktop;" /usr/share/applications/mimeinfo.cache ||
    fail "the system's desktop database names no program for $mime_type"
default=$("${desktop_user[@]}" xdg-mime query default "$mime_type")
[ "$default" = orvaview.desktop ] ||
    fail "xdg-mime names '$default' as the program for $mime_type, not orvaview.desktop"

# The thumbnailer entry as the file manager runs it: %i the scene, %o the picture, %s its size.
thumbnailer=$(sed -n 's/^Exec=//p' /usr/share/thumbnailers/orvaview.thumbnailer)
thumbnailer=${thumbnailer//%i/$sample}
thumbnailer=${thumbnailer//%o/$work/thumbnail.png}
thumbnailer=${thumbnailer//%s/128}
# Split into words on purpose: it is a command line, and none of its paths holds a space.
# shellcheck disable=SC2086
(cd / && "${desktop_user[@]}" $thumbnailer)
file "$work/thumbnail.png" | grep -q "PNG image data, 128 x 128" ||
    fail "the thumbnailer entry made no 128 x 128 PNG: $(file "$work/thumbnail.png")"

"${apt_get[@]}" purge orvaview
if installed; then
    fail "orvaview is still installed after apt purge"
fi
while read -r path; do
    if [ -e "$path" ] && ! grep -qxF "$path" "$work/there_before"; then
        fail "$path is left after removing the package"
    fi
done <"$work/contents"
if [ -e "/usr/share/mime/$mime_type.xml" ]; then
    fail "the MIME database still holds $mime_type"
fi
if grep -qs "$mime_type" /usr/share/applications/mimeinfo.cache; then
    fail "the desktop database still names a program for $mime_type"
fi
echo "== package test: installed, worked and removed cleanly"
