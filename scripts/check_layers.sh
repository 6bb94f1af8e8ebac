#!/usr/bin/env bash
# Checks that the includes under src/ keep the layers' direction:
#
#   geometry, platform, scene, image, view, render, display, picture, measure, mesh, report,
#   browser, app, cli
#
# A folder includes only itself and folders before it in that list. Inside render/ the rooms
# shading/ and tessellation/ include nothing of csg/ or of render/'s own files, and csg/ nothing
# of render/'s own files. Qt is for browser/ and the programs, OpenGL headers and calls for
# display/ and platform/ (the headless context); app/ and cli/ never include each other; no
# folders or rooms include each other in a circle.
#
# Usage: scripts/check_layers.sh [ROOT]   (ROOT holds src/; the repository by default)
# Prints each violation as "file:line: what" and exits 1 on any, 0 with a summary otherwise.
set -euo pipefail
root=${1:-"$(dirname "$0")/.."}
exec python3 - "$root" <<'PYTHON'
import os
import re
import sys

ORDER = ["geometry", "platform", "scene", "image", "view", "render", "display", "picture",
         "measure", "mesh", "report", "browser", "app", "cli"]
RANK = {name: i for i, name in enumerate(ORDER)}
# Folders whose code sits above Qt; every other folder builds without it.
QT_FOLDERS = {"browser", "app", "cli"}
GL_FOLDERS = {"display", "platform"}
ROOMS = ["csg", "tessellation", "shading"]
# Which render rooms a room may not include: the rooms below csg/ know nothing of it, and
# nothing in a room knows the renderer's own files at the top.
ROOM_FORBIDS = {
    "render/shading": {"render/csg", "render"},
    "render/tessellation": {"render/csg", "render"},
    "render/csg": {"render"},
}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
QT_HEADER = re.compile(r"^Qt|^Q[A-Z]")
GL_HEADER = re.compile(r"^(GL|GLES\d*|EGL|KHR|epoxy|glad)/")
GL_CALL = re.compile(r"\b(gl|egl)[A-Z]\w*\s*\(")

root = os.path.abspath(sys.argv[1])
src = os.path.join(root, "src")
if not os.path.isdir(src):
    print(f"{src}: no such folder", file=sys.stderr)
    sys.exit(2)


def unit_of(path):
    """The folder (or render room) of a path below src/, or None outside src/."""
    relative = os.path.relpath(path, src)
    parts = relative.split(os.sep)
    if parts[0] in ("..", ".") or len(parts) < 2:
        return None
    if parts[0] == "render" and len(parts) > 2 and parts[1] in ROOMS:
        return "render/" + parts[1]
    return parts[0]


def folder_of(unit):
    return unit.split("/")[0]


def resolve(including, name):
    """Where a quoted include lands, as the compiler looks: beside the file, then in src/."""
    beside = os.path.normpath(os.path.join(os.path.dirname(including), name))
    if os.path.exists(beside):
        return beside
    # Generated headers (app/app_icon_svg.h) exist only in the build tree: named from src/.
    return os.path.normpath(os.path.join(src, name))


def strip_comment(line, in_block):
    """The code of a line without its comments; and whether a block comment stays open."""
    code = ""
    i = 0
    while i < len(line):
        if in_block:
            end = line.find("*/", i)
            if end < 0:
                return code, True
            i = end + 2
            in_block = False
        elif line.startswith("//", i):
            break
        elif line.startswith("/*", i):
            in_block = True
            i += 2
        else:
            code += line[i]
            i += 1
    return code, in_block


violations = []
edges = {}  # (from unit, to unit) -> first "file:line" that makes the edge
allowed = set()  # the edges no rule above forbids
files = 0
for directory, subfolders, names in os.walk(src):
    subfolders.sort()
    for name in sorted(names):
        if not name.endswith((".h", ".hpp", ".cpp", ".cc", ".inc", ".in")):
            continue
        path = os.path.join(directory, name)
        unit = unit_of(path)
        if unit is None:
            continue
        files += 1
        shown = os.path.relpath(path, root)
        folder = folder_of(unit)
        if folder not in RANK:
            violations.append(f"{shown}:1: {folder} has no place in the layers")
            continue
        in_block = False
        with open(path, encoding="utf-8", errors="replace") as text:
            for number, line in enumerate(text, 1):
                code, in_block = strip_comment(line, in_block)
                where = f"{shown}:{number}"
                if GL_CALL.search(code) and folder not in GL_FOLDERS:
                    violations.append(f"{where}: {folder} calls OpenGL")
                match = INCLUDE.match(code)
                if not match:
                    continue
                quote, header = match.groups()
                if quote == "<":
                    if QT_HEADER.match(header) and folder not in QT_FOLDERS:
                        violations.append(f"{where}: {folder} includes Qt <{header}>")
                    elif GL_HEADER.match(header) and folder not in GL_FOLDERS:
                        violations.append(f"{where}: {folder} includes OpenGL <{header}>")
                    continue
                target = unit_of(resolve(path, header))
                if target is None or target == unit:
                    continue
                edges.setdefault((unit, target), where)
                target_folder = folder_of(target)
                if target_folder not in RANK:
                    violations.append(f"{where}: {unit} includes {target}, which has no place "
                                      "in the layers")
                elif {folder, target_folder} == {"app", "cli"}:
                    violations.append(f"{where}: {folder} includes the other program, "
                                      f"{target_folder}")
                elif RANK[target_folder] > RANK[folder]:
                    violations.append(f"{where}: {folder} includes upward {target_folder}")
                elif target in ROOM_FORBIDS.get(unit, ()):
                    violations.append(f"{where}: {unit} includes upward {target}")
                else:
                    allowed.add((unit, target))

# Circles between folders and rooms, each reported with the includes that close it. A circle
# through an include reported above needs no second report; what the direction rules cannot see
# is a circle between rooms they leave free of each other (shading/ and tessellation/).

graph = {}
for (a, b) in allowed:
    graph.setdefault(a, set()).add(b)
index = {}
low = {}
stack = []
on_stack = set()
circles = []


def strong_components(start):
    # Tarjan's algorithm, iterative so that deep graphs cannot exhaust Python's stack.
    work = [(start, iter(sorted(graph.get(start, ()))))]
    index[start] = low[start] = len(index)
    stack.append(start)
    on_stack.add(start)
    while work:
        node, successors = work[-1]
        advanced = False
        for next_node in successors:
            if next_node not in index:
                index[next_node] = low[next_node] = len(index)
                stack.append(next_node)
                on_stack.add(next_node)
                work.append((next_node, iter(sorted(graph.get(next_node, ())))))
                advanced = True
                break
            if next_node in on_stack:
                low[node] = min(low[node], index[next_node])
        if advanced:
            continue
        work.pop()
        if work:
            low[work[-1][0]] = min(low[work[-1][0]], low[node])
        if low[node] == index[node]:
            component = []
            while True:
                member = stack.pop()
                on_stack.discard(member)
                component.append(member)
                if member == node:
                    break
            if len(component) > 1:
                circles.append(sorted(component))


for node in sorted(graph):
    if node not in index:
        strong_components(node)
for component in circles:
    members = set(component)
    names = ", ".join(component)
    for (a, b), where in sorted(edges.items()):
        if a in members and b in members and (a, b) in allowed:
            violations.append(f"{where}: {a} includes {b}, in a circle of {names}")

for violation in violations:
    print(violation)
if violations:
    print(f"{len(violations)} layering violation(s) in {files} files", file=sys.stderr)
    sys.exit(1)
print(f"layers: {files} files, {len(edges)} pairs of folders or rooms joined by includes, "
      "all downward, no circles")
PYTHON
