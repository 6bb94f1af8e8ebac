#!/usr/bin/env python3
"""Writes the sample scene descriptions in this folder (JSON read by orvgen).

Run it by hand after changing a sample and keep its output with it; the build reads only the
JSON files:

    python3 data/samples/make_samples.py [OUTPUT_FOLDER]

Standard library only. Lengths are millimetres. Standard view 1 looks along +y with x to the
right and z up, so rings stand in the x-z plane with the finger along y and the setting at the
top, and pendants and earrings face -y.

Matrices are 16 numbers row by row for row vectors (p' = p * M, translation in 12..14), as the
scene files hold them. Gem library shapes have their girdle in the x-y plane at z = 0, the table
towards +z and a girdle diameter (or width along x) of 1, so a gem's placement scales the shape
to its size in millimetres and turns the table where it belongs.
"""

import json
import math
import os
import re
import sys

# Gem library indices.
GEM_ROUND, GEM_PRINCESS, GEM_OVAL, GEM_PEARL = 0, 1, 2, 11
# Length over width of the oval shape in the gem library.
OVAL_RATIO = 4.0 / 3.0

# Proportions of a round brilliant relative to its girdle diameter.
ROUND_CROWN = 0.16
ROUND_TABLE = 0.56
ROUND_PAVILION = 0.43


# ---------------------------------------------------------------------------------------------
# Vectors and matrices
# ---------------------------------------------------------------------------------------------

def add(a, b):
    return (a[0] + b[0], a[1] + b[1], a[2] + b[2])


def sub(a, b):
    return (a[0] - b[0], a[1] - b[1], a[2] - b[2])


def mul(a, s):
    return (a[0] * s, a[1] * s, a[2] * s)


def dot(a, b):
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]


def cross(a, b):
    return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])


def unit(a):
    n = math.sqrt(dot(a, a))
    return mul(a, 1.0 / n)


def identity():
    return [1.0 if i % 5 == 0 else 0.0 for i in range(16)]


def mat_mul(a, b):
    """a then b: p * a * b."""
    return [sum(a[4 * r + k] * b[4 * k + c] for k in range(4)) for r in range(4) for c in range(4)]


def mat_chain(*ms):
    result = identity()
    for m in ms:
        result = mat_mul(result, m)
    return result


def scaling(sx, sy=None, sz=None):
    m = identity()
    m[0] = sx
    m[5] = sx if sy is None else sy
    m[10] = sx if sz is None else sz
    return m


def translation(x, y, z):
    m = identity()
    m[12], m[13], m[14] = x, y, z
    return m


def axes_matrix(x_to, y_to, z_to):
    """Rotation that takes the x, y and z axes to the given unit vectors."""
    return [x_to[0], x_to[1], x_to[2], 0.0, y_to[0], y_to[1], y_to[2], 0.0,
            z_to[0], z_to[1], z_to[2], 0.0, 0.0, 0.0, 0.0, 1.0]


def rotation(axis, degrees):
    """Right-handed rotation about a coordinate axis."""
    c = math.cos(math.radians(degrees))
    s = math.sin(math.radians(degrees))
    m = identity()
    i, j = (axis + 1) % 3, (axis + 2) % 3
    m[4 * i + i] = c
    m[4 * i + j] = s
    m[4 * j + i] = -s
    m[4 * j + j] = c
    return m


def determinant3(m):
    return (m[0] * (m[5] * m[10] - m[6] * m[9]) - m[1] * (m[4] * m[10] - m[6] * m[8]) +
            m[2] * (m[4] * m[9] - m[5] * m[8]))


def transform_point(m, p):
    return (m[0] * p[0] + m[4] * p[1] + m[8] * p[2] + m[12],
            m[1] * p[0] + m[5] * p[1] + m[9] * p[2] + m[13],
            m[2] * p[0] + m[6] * p[1] + m[10] * p[2] + m[14])


MIRROR_X = scaling(-1.0, 1.0, 1.0)


# ---------------------------------------------------------------------------------------------
# Curves: uniform cubic B-splines do not pass through their control points, so control
# polygons are widened until the curve has the size wanted.
# ---------------------------------------------------------------------------------------------

def spline_circle_factor(n):
    """Radius of the closed cubic B-spline over a regular n-gon of control radius 1."""
    return (4.0 + 2.0 * math.cos(2.0 * math.pi / n)) / 6.0


def catmull_rom(points, samples_per_span, closed=False):
    """A smooth path through the points (the ends included when open)."""
    n = len(points)
    out = []
    spans = n if closed else n - 1
    for i in range(spans):
        p0 = points[(i - 1) % n] if closed or i > 0 else sub(mul(points[0], 2), points[1])
        p1 = points[i % n]
        p2 = points[(i + 1) % n]
        if closed or i + 2 < n:
            p3 = points[(i + 2) % n]
        else:
            p3 = sub(mul(points[-1], 2), points[-2])
        for k in range(samples_per_span):
            t = k / samples_per_span
            t2, t3 = t * t, t * t * t
            w0 = -0.5 * t3 + t2 - 0.5 * t
            w1 = 1.5 * t3 - 2.5 * t2 + 1.0
            w2 = -1.5 * t3 + 2.0 * t2 + 0.5 * t
            w3 = 0.5 * t3 - 0.5 * t2
            out.append(add(add(mul(p0, w0), mul(p1, w1)), add(mul(p2, w2), mul(p3, w3))))
    if not closed:
        out.append(points[-1])
    return out


# ---------------------------------------------------------------------------------------------
# Polygon meshes: closed, every edge shared by two polygons that run it opposite ways, and
# counter-clockwise seen from outside.
# ---------------------------------------------------------------------------------------------

class Mesh:
    def __init__(self, points=None, polygons=None):
        self.points = list(points or [])
        self.polygons = [list(p) for p in (polygons or [])]

    def signed_volume(self):
        v = 0.0
        for poly in self.polygons:
            a = self.points[poly[0]]
            for i in range(1, len(poly) - 1):
                v += dot(a, cross(self.points[poly[i]], self.points[poly[i + 1]]))
        return v / 6.0

    def orient_outward(self):
        if self.signed_volume() < 0.0:
            self.polygons = [list(reversed(p)) for p in self.polygons]
        return self

    def transformed(self, m):
        result = Mesh([transform_point(m, p) for p in self.points], self.polygons)
        if determinant3(m) < 0.0:
            result.polygons = [list(reversed(p)) for p in result.polygons]
        return result


def loft(rings, closed=False):
    """A closed mesh through rings of equally many points. A ring of one point is a pole; an
    open loft starts and ends with one, a closed loft joins its last ring to its first."""
    mesh = Mesh()
    indices = []
    for ring in rings:
        ids = []
        for p in ring:
            ids.append(len(mesh.points))
            mesh.points.append(tuple(p))
        indices.append(ids)
    n = max(len(r) for r in indices)
    pairs = list(zip(indices, indices[1:]))
    if closed:
        pairs.append((indices[-1], indices[0]))
    for a, b in pairs:
        for j in range(n):
            k = (j + 1) % n
            quad = [a[j % len(a)], a[k % len(a)], b[k % len(b)], b[j % len(b)]]
            poly = []
            for v in quad:
                if v not in poly:
                    poly.append(v)
            if len(poly) >= 3:
                mesh.polygons.append(poly)
    return mesh.orient_outward()


def prism(profile, start, end):
    """A closed mesh between two copies of a planar polygon (given twice, same order)."""
    mesh = Mesh(list(start) + list(end))
    n = len(profile)
    # The sides run every edge of the start forwards, so the start runs backwards.
    mesh.polygons.append(list(range(n - 1, -1, -1)))
    mesh.polygons.append(list(range(n, 2 * n)))
    for j in range(n):
        k = (j + 1) % n
        mesh.polygons.append([j, k, n + k, n + j])
    return mesh.orient_outward()


def box(x0, x1, y0, y1, z0, z1):
    square = [(x0, y0), (x1, y0), (x1, y1), (x0, y1)]
    return prism(square, [(x, y, z0) for x, y in square], [(x, y, z1) for x, y in square])


def lathe(profile, segments, centre=(0.0, 0.0)):
    """Revolves (radius, z) pairs about the vertical axis through centre; radius 0 makes a
    pole."""
    rings = []
    for r, z in profile:
        if r == 0.0:
            rings.append([(centre[0], centre[1], z)])
        else:
            rings.append([(centre[0] + r * math.cos(2 * math.pi * k / segments),
                           centre[1] + r * math.sin(2 * math.pi * k / segments), z)
                          for k in range(segments)])
    return loft(rings)


def frames_along(path, closed=False):
    """Tangents and rotation-minimising normals along a path."""
    n = len(path)
    tangents = []
    for i in range(n):
        if closed:
            d = sub(path[(i + 1) % n], path[(i - 1) % n])
        elif i == 0:
            d = sub(path[1], path[0])
        elif i == n - 1:
            d = sub(path[-1], path[-2])
        else:
            d = sub(path[i + 1], path[i - 1])
        tangents.append(unit(d))
    t0 = tangents[0]
    helper = (0.0, 0.0, 1.0) if abs(t0[2]) < 0.9 else (1.0, 0.0, 0.0)
    normal = unit(cross(cross(t0, helper), t0))
    normals = []
    for t in tangents:
        normal = unit(sub(normal, mul(t, dot(normal, t))))
        normals.append(normal)
    return tangents, normals


def tube(path, radius, segments=16, closed=False, round_ends=True, end_radius=None):
    """A round tube along a path. `radius` is a number or a function of the path fraction.
    Open tubes end in half spheres (or flat when round_ends is false)."""
    r_of = radius if callable(radius) else (lambda f: radius)
    tangents, normals = frames_along(path, closed)
    n = len(path)

    def ring(centre, normal, tangent, r):
        binormal = cross(tangent, normal)
        return [add(centre, add(mul(normal, r * math.cos(2 * math.pi * k / segments)),
                                mul(binormal, r * math.sin(2 * math.pi * k / segments))))
                for k in range(segments)]

    rings = []
    for i in range(n):
        f = i / (n if closed else n - 1)
        rings.append(ring(path[i], normals[i], tangents[i], r_of(f)))
    if closed:
        return loft(rings, closed=True)

    def cap(i, direction):
        r = r_of(0.0 if i == 0 else 1.0)
        t = mul(tangents[i], direction)
        if not round_ends:
            return [[path[i]]]
        steps = 4
        out = []
        for s in range(1, steps):
            a = 0.5 * math.pi * s / steps
            out.append(ring(add(path[i], mul(t, r * math.sin(a))), normals[i], tangents[i],
                            r * math.cos(a)))
        out.append([add(path[i], mul(t, r))])
        return out

    start = list(reversed(cap(0, -1.0)))
    end = cap(n - 1, 1.0)
    return loft(start + rings + end)


def torus(centre, major, minor, axis, segments=40, minor_segments=16):
    """A ring round `axis` (0, 1 or 2) through centre."""
    i, j = (axis + 1) % 3, (axis + 2) % 3
    path = []
    for k in range(segments):
        a = 2 * math.pi * k / segments
        p = list(centre)
        p[i] += major * math.cos(a)
        p[j] += major * math.sin(a)
        path.append(tuple(p))
    return tube(path, minor, minor_segments, closed=True)


def sphere(centre, radius, segments=32, rings=16):
    profile = [(0.0, radius)]
    for k in range(1, rings):
        a = math.pi * k / rings
        profile.append((radius * math.sin(a), radius * math.cos(a)))
    profile.append((0.0, -radius))
    mesh = lathe(profile, segments)
    return mesh.transformed(translation(*centre))


# ---------------------------------------------------------------------------------------------
# Scene objects as orvgen reads them
# ---------------------------------------------------------------------------------------------

def mesh_object(mesh, material=None, flat=False, colour=0, **fields):
    o = {"type": "polyMesh"}
    if material:
        o["material"] = material
    o["colour"] = colour
    o["flat"] = 1 if flat else 0
    o.update(fields)
    o["points"] = [list(p) for p in mesh.points]
    o["polygons"] = mesh.polygons
    return o


def net_volume(rows, closed_u, closed_v):
    """Signed volume under the cells the renderer draws, (i, j), (i+1, j), (i+1, j+1), (i, j+1):
    positive when the surface faces outward."""
    nu, nv = len(rows), len(rows[0])
    v = 0.0
    for i in range(nu if closed_u else nu - 1):
        for j in range(nv if closed_v else nv - 1):
            a = rows[i][j]
            b = rows[(i + 1) % nu][j]
            c = rows[(i + 1) % nu][(j + 1) % nv]
            d = rows[i][(j + 1) % nv]
            v += dot(a, cross(b, c)) + dot(a, cross(c, d))
    return v / 6.0


def surface_object(rows, material=None, closed_u=False, closed_v=True, steps=(4, 4), colour=0,
                   **fields):
    """A B-spline surface over rows of control points (u across the rows, v along each row).
    A row of one point is a pole: it is written as a whole row collapsed into that point.
    Closed nets are turned to face outward."""
    nv = max(len(r) for r in rows)
    rows = [list(r) * nv if len(r) == 1 else list(r) for r in rows]
    if net_volume(rows, closed_u, closed_v) < 0.0:
        rows = [list(reversed(r)) for r in rows]
    o = {"type": "surface"}
    if material:
        o["material"] = material
    o.update({"colour": colour, "nu": len(rows), "nv": nv,
              "closedU": 1 if closed_u else 0, "closedV": 1 if closed_v else 0,
              "stepsU": steps[0], "stepsV": steps[1]})
    o.update(fields)
    o["points"] = [list(p) for r in rows for p in r]
    return o


def torus_surface(centre, major, minor, axis, material, around=24, across=12, colour=0):
    """A ring round `axis` as a surface closed both ways."""
    i, j = (axis + 1) % 3, (axis + 2) % 3
    big = major / spline_circle_factor(around)
    small = minor / spline_circle_factor(across)
    rows = []
    for a in range(around):
        phi = 2 * math.pi * a / around
        row = []
        for b in range(across):
            theta = 2 * math.pi * b / across
            p = list(centre)
            r = big + small * math.cos(theta)
            p[i] += r * math.cos(phi)
            p[j] += r * math.sin(phi)
            p[axis] += small * math.sin(theta)
            row.append(tuple(p))
        rows.append(row)
    return surface_object(rows, material, closed_u=True, closed_v=True, steps=(3, 3),
                          colour=colour)


def gem_object(index, material, placement, colour=5, **fields):
    o = {"type": "gem", "gem": index, "material": material, "colour": colour}
    o.update(fields)
    o["placement"] = placement
    return o


def gem_placement(size, girdle_centre, table_towards, length_towards=None):
    """Scales a library shape to `size` mm across and puts its girdle centre at girdle_centre
    with the table facing table_towards (and the shape's length along length_towards)."""
    z = unit(table_towards)
    if length_towards is None:
        length_towards = (0.0, 1.0, 0.0) if abs(z[1]) < 0.9 else (0.0, 0.0, 1.0)
    y = unit(sub(length_towards, mul(z, dot(length_towards, z))))
    x = cross(y, z)
    return mat_chain(scaling(size), axes_matrix(x, y, z), translation(*girdle_centre))


def curve_object(points, closed=True, steps=8, colour=0):
    return {"type": "curve", "colour": colour, "closed": 1 if closed else 0, "steps": steps,
            "points": [list(p) for p in points]}


def ref_plane(axis, origin=(0.0, 0.0, 0.0), colour=8):
    return {"type": "refPlane", "axis": axis, "colour": colour,
            "frame": translation(*origin)}


def group_object(kind, children, material=None, colour=0):
    o = {"type": "group", "kind": kind, "colour": colour}
    if material:
        o["material"] = material
    o["children"] = children
    return o


def marked_base(o):
    """The first child of a difference: stored with the marked state, read back as shown."""
    o = dict(o)
    o["state"] = -99
    return o


def ring_band(inner_radius, outer_radius, width, bevel_kind, bevel, material, points=32,
              colour=3, steps=4):
    """A ring shank: an extrusion along y of an outer profile and an inner one that is a hole,
    centred on y = 0. outer_radius may be a function of the angle from the top (radians).
    The bevels run from the profiles to the walls, which lie `bevel` further out (outer) and in
    (hole), so the profiles are drawn that much inside the finished sizes."""
    outer_of = outer_radius if callable(outer_radius) else (lambda a: outer_radius)
    k = spline_circle_factor(points)
    outer = []
    inner = []
    for i in range(points):
        a = 2 * math.pi * i / points
        from_top = math.atan2(math.cos(a), math.sin(a))
        r = (outer_of(from_top) - bevel) / k
        outer.append([r * math.cos(a), 0.0, r * math.sin(a)])
        # The hole runs the other way round.
        b = -a
        ri = (inner_radius + bevel) / k
        inner.append([ri * math.cos(b), 0.0, ri * math.sin(b)])
    depth = width - 2 * bevel
    return {"type": "extrusion", "material": material, "colour": colour, "axes": [0, 2, 1],
            "depth": depth, "topBevel": bevel_kind, "bottomBevel": bevel_kind,
            "bevelSize": bevel, "placement": translation(0.0, width / 2.0, 0.0),
            "profiles": [{"points": outer, "steps": steps}, {"points": inner, "steps": steps}]}


# ---------------------------------------------------------------------------------------------
# Moving and mirroring whole objects
# ---------------------------------------------------------------------------------------------

def transform_object(o, m):
    """A copy of the object under m. Mirrors keep meshes and surfaces facing outward; a gem
    is mirrored about its own length, which leaves the symmetric library shapes unchanged."""
    o = json.loads(json.dumps(o))
    t = o["type"]
    mirrored = determinant3(m) < 0.0
    if t in ("curve", "surface", "polyMesh"):
        o["points"] = [list(transform_point(m, p)) for p in o["points"]]
        if mirrored and t == "polyMesh":
            o["polygons"] = [list(reversed(p)) for p in o["polygons"]]
        if mirrored and t == "surface":
            nv = o["nv"]
            rows = [o["points"][r * nv:(r + 1) * nv] for r in range(o["nu"])]
            o["points"] = [p for r in rows for p in reversed(r)]
    elif t == "gem":
        p = o["placement"]
        o["placement"] = mat_chain(MIRROR_X, p, m) if mirrored else mat_mul(p, m)
    elif t == "extrusion":
        if mirrored:
            raise ValueError("extrusions are not mirrored here")
        o["placement"] = mat_mul(o["placement"], m)
    elif t == "group":
        o["children"] = [transform_object(c, m) for c in o["children"]]
    elif t == "refPlane":
        o["frame"] = mat_mul(o.get("frame", identity()), m)
    return o


def spline_point(points, s, closed):
    """Point at parameter s (0 .. number of spans) of a uniform cubic B-spline, with the
    phantom end points that make an open curve start and end at its end points."""
    if closed:
        q = list(points) + list(points[:3])
    else:
        q = [sub(mul(points[0], 2), points[1])] + list(points) + \
            [sub(mul(points[-1], 2), points[-2])]
    spans = len(q) - 3
    i = min(max(int(math.floor(s)), 0), spans - 1)
    t = s - i
    w = ((1 - t) ** 3 / 6.0, (3 * t ** 3 - 6 * t * t + 4) / 6.0,
         (-3 * t ** 3 + 3 * t * t + 3 * t + 1) / 6.0, t ** 3 / 6.0)
    p = (0.0, 0.0, 0.0)
    for k in range(4):
        p = add(p, mul(q[i + k], w[k]))
    return p


def oval_ring(a, b, centre, segments, plane=(0, 2)):
    """Points round an ellipse with half axes a and b along the two coordinate axes of plane."""
    out = []
    for k in range(segments):
        phi = 2 * math.pi * k / segments
        p = list(centre)
        p[plane[0]] += a * math.cos(phi)
        p[plane[1]] += b * math.sin(phi)
        out.append(tuple(p))
    return out


def extrusion_y(outer, holes, front, back, bevel_kind, bevel, material, colour=0, steps=4):
    """An extrusion along y from `back` to `front` (front < back) of closed profiles in the
    x-z plane: outer runs counter-clockwise from +x towards +z, every hole the other way."""
    width = back - front
    return {"type": "extrusion", "material": material, "colour": colour, "axes": [0, 2, 1],
            "depth": width - 2 * bevel, "topBevel": bevel_kind, "bottomBevel": bevel_kind,
            "bevelSize": bevel, "placement": translation(0.0, back, 0.0),
            "profiles": [{"points": [list(p) for p in outer], "steps": steps}] +
                        [{"points": [list(p) for p in h], "steps": steps} for h in holes]}


# ---------------------------------------------------------------------------------------------
# Stone settings
# ---------------------------------------------------------------------------------------------

def round_seat_cutter(size, girdle, up=(0.0, 0.0, 1.0), clearance=0.04, segments=32):
    """The room a round brilliant of `size` needs, a little larger than the stone: cut into the
    metal round it, it leaves the seat the stone sits in. Flat shaded: it is never seen."""
    r = 0.5 * size + clearance
    crown = ROUND_CROWN * size + clearance
    profile = [(0.0, crown), (0.5 * ROUND_TABLE * size + clearance, crown),
               (r, 0.02 * size), (r, -0.02 * size),
               (0.0, -ROUND_PAVILION * size - clearance)]
    mesh = lathe(profile, segments)
    z = unit(up)
    x = unit(cross((0.0, 1.0, 0.0) if abs(z[1]) < 0.9 else (1.0, 0.0, 0.0), z))
    y = cross(z, x)
    return mesh.transformed(mat_mul(axes_matrix(x, y, z), translation(*girdle)))


# ---------------------------------------------------------------------------------------------
# Samples
# ---------------------------------------------------------------------------------------------

def solitaire_ring():
    """A 6 mm round brilliant in a four-claw basket on a yellow gold shank of 17 mm inside
    diameter."""
    gold = "Gold18KYellow"
    inner = 8.5
    stone = 6.0
    band_top = inner + 2.0

    # A shank 1.7 mm thick under the finger, thickening to 2.0 mm under the head.
    def outer(from_top):
        return inner + 1.7 + 0.3 * ((1.0 + math.cos(from_top)) / 2.0) ** 2

    band = ring_band(inner, outer, 2.2, 1, 0.35, gold)

    girdle = band_top + ROUND_PAVILION * stone + 0.45
    # Claw centre line as (distance from the axis, height): from inside the shank up round
    # the pavilion, past the girdle and bent in over the crown.
    claw_line = [(0.75, 9.7), (1.0, 10.6), (1.55, 11.5), (2.35, 12.45), (3.0, 13.15),
                 (3.27, girdle + 0.1), (3.2, girdle + 0.45), (2.95, girdle + 0.62)]
    claws = []
    for k in range(4):
        azimuth = math.radians(45.0 + 90.0 * k)
        c, s = math.cos(azimuth), math.sin(azimuth)
        path = catmull_rom([(r * c, r * s, z) for r, z in claw_line], 6)
        claws.append(mesh_object(tube(path, 0.42, 16), gold, colour=3))
    # Two rails join the claws round the pavilion.
    rails = [torus_surface((0.0, 0.0, 12.45), 2.1, 0.3, 2, gold, colour=3),
             torus_surface((0.0, 0.0, 11.2), 1.35, 0.26, 2, gold, colour=3)]
    # The faces a cutter leaves take its material.
    seat = mesh_object(round_seat_cutter(stone, (0.0, 0.0, girdle)), gold, flat=True, colour=7,
                       cutter=1)
    diamond = gem_object(GEM_ROUND, "Diamond",
                         gem_placement(stone, (0.0, 0.0, girdle), (0.0, 0.0, 1.0)))
    # Ring size circle: the inside of the shank where it meets the finger.
    k = spline_circle_factor(24)
    size_circle = curve_object(
        [(inner / k * math.cos(2 * math.pi * i / 24), 0.0, inner / k * math.sin(2 * math.pi * i / 24))
         for i in range(24)], colour=9)
    return [band] + claws + rails + [seat, diamond, size_circle, ref_plane(2)]


def channel_band():
    """A platinum band 4 mm wide with nine princess cut stones, sapphires and diamonds in turn,
    set in a channel across the top. Each stone has a cutter for its stretch of the channel and
    one for the light hole under it; the stones themselves are never cut."""
    metal = "Platinum"
    inner = 8.5
    outer = 10.7
    width = 4.0
    band = ring_band(inner, outer, width, 2, 0.3, metal, colour=4)

    count = 9
    stone = 2.5
    girdle = outer - 0.4
    # Neighbouring girdles meet 0.06 mm apart.
    step = 2.0 * math.degrees(math.atan((0.5 * stone + 0.03) / girdle))
    # The channel across the band, as (across y, out from the axis): an opening narrower than
    # the stones, a groove the girdles sit in and room for the pavilions below.
    opening = 1.05
    groove = 0.5 * stone + 0.07
    channel = [(-opening, outer + 0.6), (opening, outer + 0.6), (opening, girdle + 0.12),
               (groove, girdle + 0.12), (groove, girdle - 0.1), (0.55, inner + 0.5),
               (-0.55, inner + 0.5), (-groove, girdle - 0.1), (-groove, girdle + 0.12),
               (-opening, girdle + 0.12)]

    def at_angle(y, r, degrees):
        a = math.radians(degrees)
        return (r * math.sin(a), y, r * math.cos(a))

    objects = [band]
    for i in range(count):
        angle = (i - (count - 1) / 2.0) * step
        half = 0.5 * step + 0.1
        stretch = prism(channel, [at_angle(y, r, angle - half) for y, r in channel],
                        [at_angle(y, r, angle + half) for y, r in channel])
        objects.append(mesh_object(stretch, metal, flat=True, colour=7, cutter=1))
        hole = box(-0.5, 0.5, -0.5, 0.5, inner - 0.6, inner + 0.8).transformed(rotation(1, angle))
        objects.append(mesh_object(hole, metal, flat=True, colour=7, cutter=1))
    for i in range(count):
        angle = math.radians((i - (count - 1) / 2.0) * step)
        radial = (math.sin(angle), 0.0, math.cos(angle))
        placement = gem_placement(stone, mul(radial, girdle), radial, (0.0, 1.0, 0.0))
        material = "Sapphire" if i % 2 == 0 else "Diamond"
        objects.append(gem_object(GEM_PRINCESS, material, placement,
                                  colour=6 if i % 2 == 0 else 5, neverCut=1))
    return objects


def pendant():
    """A puffed white gold drop with an oval amethyst in a yellow gold bezel, hung from a flat
    sided bail on a collar bead at its tip."""
    white = "Gold18KWhite"
    yellow = "Gold18KYellow"
    height = 20.0
    half_width = 7.2
    half_thickness = 2.6
    around = 16
    k = spline_circle_factor(around)

    # The drop: rows round the vertical axis from the tip (a pole) to the bottom (a pole).
    rows = []
    count = 15
    for i in range(count):
        t = math.pi * i / (count - 1)
        z = height / 2.0 * (1.0 + math.cos(t))
        a = half_width * math.sin(t) * math.sin(t / 2.0) ** 1.3
        b = half_thickness * math.sin(t) * math.sin(t / 2.0) ** 0.7
        if i == count - 2:
            z = 0.0  # level with the bottom pole, so that the bottom is round, not pointed
        if i in (0, count - 1):
            rows.append([(0.0, 0.0, z)])
        else:
            rows.append(oval_ring(a / k, b / k, (0.0, 0.0, z), around, plane=(0, 1)))
    drop = surface_object(rows, white, closed_u=False, closed_v=True, steps=(4, 4), colour=4)

    # Where the front of the drop (x = 0, y < 0) is at the stone's height.
    stone = 6.0
    centre_z = 7.6
    front_column = [r[0] if len(r) == 1 else r[3 * around // 4] for r in rows]

    def front_at(s):
        return spline_point(front_column, s, False)

    lo, hi = 0.0, count - 1.0
    for _ in range(60):
        mid = 0.5 * (lo + hi)
        if front_at(mid)[2] > centre_z:
            lo = mid
        else:
            hi = mid
    surface_y = front_at(lo)[1]

    girdle_y = surface_y - 0.55
    centre = (0.0, girdle_y, centre_z)
    a, b = 0.5 * stone, 0.5 * stone * OVAL_RATIO
    amethyst = gem_object(GEM_OVAL, "Amethyst",
                          gem_placement(stone, centre, (0.0, -1.0, 0.0), (0.0, 0.0, 1.0)),
                          colour=6)
    # The seat: the pavilion's room, and the opening in front of the girdle.
    seat_scale = 1.02
    back = girdle_y + 0.45 * stone + 0.1
    seat = loft([[(0.0, back, centre_z)],
                 oval_ring(a * seat_scale * 0.25, b * seat_scale * 0.25,
                           (0.0, back - 0.1, centre_z), 32),
                 oval_ring(a * seat_scale, b * seat_scale, (0.0, girdle_y + 0.05, centre_z), 32),
                 oval_ring(a * seat_scale, b * seat_scale, (0.0, girdle_y - 3.0, centre_z), 32),
                 [(0.0, girdle_y - 3.0, centre_z)]])
    body = group_object(4, [marked_base(drop), mesh_object(seat, white, flat=True, colour=7)],
                        colour=4)

    # The bezel: walls 0.55 mm thick whose lip closes 0.08 mm over the girdle.
    bevel = 0.12
    wall = 0.55
    lip = 0.08
    outline = 32
    kb = spline_circle_factor(outline)

    def profile(da, reverse):
        pts = []
        for i in range(outline):
            phi = 2 * math.pi * i / outline * (-1.0 if reverse else 1.0)
            pts.append(((a + da) / kb * math.cos(phi), 0.0, centre_z + (b + da) / kb * math.sin(phi)))
        return pts

    bezel = extrusion_y(profile(wall - bevel, False), [profile(-lip + bevel, True)],
                        girdle_y - 0.35, surface_y + 1.2, 2, bevel, yellow, colour=3)

    # The bail: a thick ring across the chain's path, its sides cut flat, on a collar bead.
    collar = sphere((0.0, 0.0, height - 0.1), 0.95, 24, 12)
    ring = torus((0.0, 0.0, height + 2.6), 2.1, 0.75, 0, 40, 16)
    slab = box(-0.55, 0.55, -4.0, 4.0, height - 1.0, height + 6.0)
    bail = group_object(3, [mesh_object(ring, white, colour=4),
                            mesh_object(slab, white, flat=True, colour=4)], colour=4)
    hanger = group_object(1, [mesh_object(collar, white, colour=4), bail], colour=4)

    piece = group_object(2, [body, bezel, amethyst, hanger], colour=4)
    outline_curve = curve_object([(r[0][0], r[0][1], r[0][2]) if len(r) == 1 else r[0]
                                  for r in rows] +
                                 [r[around // 2] for r in reversed(rows[1:-1])], colour=9)
    return [piece, outline_curve, ref_plane(1)]


def earring(x):
    """One earring of the pair, hanging at x: an oval topaz in a bezel cup with a crescent on
    its outer (-x) side, a post behind, and a pearl drop in a petal cap on two rings below."""
    rose = "Gold18KRose"
    stone = 5.0
    a, b = 0.5 * stone, 0.5 * stone * OVAL_RATIO
    girdle_y = -1.3
    segments = 40

    def oval(grow, y):
        return oval_ring(a + grow, b + grow, (0.0, y, 0.0), segments)

    # The cup from the middle of its back round the rim to the floor under the stone.
    cup = loft([[(0.0, 1.4, 0.0)], oval(-1.4, 1.4), oval(0.2, 1.15), oval(0.45, 0.75),
                oval(0.45, -1.2), oval(0.32, -1.62), oval(-0.08, -1.55),
                oval(-0.08, girdle_y + 0.15), [(0.0, girdle_y + 0.15, 0.0)]])
    topaz = gem_object(GEM_OVAL, "Topaz",
                       gem_placement(stone, (0.0, girdle_y, 0.0), (0.0, -1.0, 0.0),
                                     (0.0, 0.0, 1.0)), colour=6)
    post = tube([(0.0, 1.2, 0.0), (0.0, 6.0, 0.0), (0.0, 11.0, 0.0)], 0.4, 16)

    # A crescent hugging the outer side of the cup, thickest halfway.
    path = []
    for i in range(25):
        f = i / 24.0
        psi = math.radians(105.0 + 150.0 * f)
        away = 0.1 + 0.45 * math.sin(math.pi * f)
        path.append(((a + 0.45 + away) * math.cos(psi), -0.3, (b + 0.45 + away) * math.sin(psi)))
    crescent = tube(path, lambda f: 0.1 + 0.45 * math.sin(math.pi * f) ** 0.8, 16)

    # Two rings, one soldered under the cup, the other through it and onto the cap.
    upper_ring = torus((0.0, 0.0, -(b + 0.45) - 0.5), 0.8, 0.27, 0, 32, 12)
    lower_ring_z = -(b + 0.45) - 1.45
    lower_ring = torus((0.0, 0.0, lower_ring_z), 0.9, 0.25, 1, 32, 12)

    # The pearl and its cap: an outer and an inner dome joined at a scalloped rim, a pole at
    # the top of each.
    pearl_size = 8.0
    cap_top = lower_ring_z - 0.9 + 0.15
    outer_r = 0.5 * pearl_size + 0.3
    inner_r = 0.5 * pearl_size - 0.05
    pearl_z = cap_top - outer_r
    around = 24
    kc = spline_circle_factor(around)

    def cap_row(radius, fraction):
        row = []
        for j in range(around):
            phi = 2 * math.pi * j / around
            rim = math.radians(38.0 + 7.0 * math.cos(6 * phi))
            theta = rim * fraction
            r = radius * math.sin(theta) / kc
            row.append((r * math.cos(phi), r * math.sin(phi), pearl_z + radius * math.cos(theta)))
        return row

    cap_rows = [[(0.0, 0.0, pearl_z + outer_r)]]
    cap_rows += [cap_row(outer_r, f) for f in (0.3, 0.6, 0.85, 1.0)]
    cap_rows += [cap_row(inner_r, f) for f in (1.0, 0.8, 0.5)]
    cap_rows += [[(0.0, 0.0, pearl_z + inner_r)]]
    cap = surface_object(cap_rows, rose, closed_u=False, closed_v=True, steps=(3, 3), colour=2)
    pearl = gem_object(GEM_PEARL, "Pearl", gem_placement(pearl_size, (0.0, 0.0, pearl_z),
                                                         (0.0, 0.0, 1.0)), colour=7)

    parts = [mesh_object(cup, rose, colour=2), topaz, mesh_object(post, rose, colour=2),
             mesh_object(crescent, rose, colour=2), mesh_object(upper_ring, rose, colour=2),
             mesh_object(lower_ring, rose, colour=2), cap, pearl]
    return transform_object(group_object(2, parts, colour=2), translation(x, 0.0, 0.0))


def earrings():
    """A pair of drop earrings in rose gold: the right one is the left one mirrored."""
    left = earring(-8.0)
    right = transform_object(left, MIRROR_X)
    return [left, right]


SAMPLES = {
    "solitaire_ring": solitaire_ring,
    "channel_band": channel_band,
    "pendant": pendant,
    "earrings": earrings,
}


# ---------------------------------------------------------------------------------------------
# Writing
# ---------------------------------------------------------------------------------------------

def rounded(value):
    if isinstance(value, float):
        r = round(value, 4)
        if r == int(r) and abs(r) < 1e9:
            return int(r)
        return r
    if isinstance(value, list) or isinstance(value, tuple):
        return [rounded(v) for v in value]
    if isinstance(value, dict):
        return {k: rounded(v) for k, v in value.items()}
    return value


NUMBER_ARRAY = re.compile(r"\[\s*(-?[0-9.e+-]+(?:,\s*-?[0-9.e+-]+)*)\s*\]")


def scene_text(objects):
    text = json.dumps({"format": "scene", "objects": rounded(objects)}, indent=1)
    # Points, polygons and matrices each on one line.
    return NUMBER_ARRAY.sub(lambda m: "[" + re.sub(r",\s+", ", ", m.group(1)) + "]", text) + "\n"


def main(argv):
    folder = argv[1] if len(argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    for name, make in SAMPLES.items():
        path = os.path.join(folder, name + ".json")
        with open(path, "w", encoding="utf-8") as f:
            f.write(scene_text(make()))
        print(f"{path}: {os.path.getsize(path)} bytes")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
