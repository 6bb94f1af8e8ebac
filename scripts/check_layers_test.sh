#!/usr/bin/env bash
# The layering check passes a small tree that keeps the direction and names each include that
# breaks it: one pointing upward, one leaving a render room for the renderer's top, a circle
# between two rooms and Qt below the programs.
set -euo pipefail
check="$(cd "$(dirname "$0")" && pwd)/check_layers.sh"
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
cd "$tree"
mkdir -p src/geometry src/scene src/view src/render/csg src/render/shading src/render/tessellation
echo '#pragma once' >src/geometry/vector.h
printf '#pragma once\n#include "geometry/vector.h"\n' >src/scene/object.h
printf '#include "scene/object.h"\n#include <vector>\n' >src/view/camera.h
printf '#include "view/camera.h"\n' >src/render/shading/light.h
printf '#include "render/shading/light.h"\n' >src/render/tessellation/mesh.h
printf '#include "render/shading/light.h"\n#include "render/tessellation/mesh.h"\n' \
    >src/render/csg/node.h
printf '#include "csg/node.h"\n' >src/render/request.h

fail() {
    echo "check_layers_test: $*" >&2
    exit 1
}

bash "$check" . >out.txt || fail "a clean tree fails: $(cat out.txt)"

# Line 3 of each planted file, so that the line numbers are checked too.
printf '\n// "render/request.h" in a comment is no include\n#include "view/camera.h"\n' \
    >>src/scene/object.h
printf '#include "render/shading/light.h"\n\n#include "render/request.h"\n' >src/render/csg/top.h
printf '#include "render/tessellation/mesh.h"\n' >>src/render/shading/light.h
printf '#pragma once\n\n#include <QImage>\n' >src/geometry/picture.h
status=0
bash "$check" . >out.txt 2>/dev/null || status=$?
[ "$status" -eq 1 ] || fail "exit status $status for a tree with violations, not 1"
expected="src/geometry/picture.h:3: geometry includes Qt <QImage>
src/render/csg/top.h:3: render/csg includes upward render
src/render/shading/light.h:2: render/shading includes render/tessellation, in a circle of render/shading, render/tessellation
src/render/tessellation/mesh.h:1: render/tessellation includes render/shading, in a circle of render/shading, render/tessellation
src/scene/object.h:5: scene includes upward view"
sort out.txt >sorted.txt
[ "$(cat sorted.txt)" = "$expected" ] || fail "reported
$(cat sorted.txt)
instead of
$expected"
