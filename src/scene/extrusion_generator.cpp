#include "scene/extrusion_generator.h"

#include <cmath>
#include <numeric>

#include "scene/curve.h"
#include "scene/extrusion.h"
#include "scene/surface.h"

namespace orva {

namespace {

// (blend b, height factor h) of the three inner rows of a rounded bevel.
constexpr float kRoundedBlend[3][2] = {{0.25f, 1.0f}, {0.75f, 0.75f}, {1.0f, 0.25f}};

// A run of consecutive input points that stand for one vertex of the offset.
struct CProfileVertex {
    CVector3 point;
    int first = 0;         // index of the first input point it stands for
    int multiplicity = 0;  // how many input points it stands for
};

std::vector<CProfileVertex> MergeRepeatedPoints(const CVector3* p, int n) {
    std::vector<CProfileVertex> vertices;
    for (int i = 0; i < n; ++i) {
        if (!vertices.empty() && IsEqual(vertices.back().point, p[i])) {
            ++vertices.back().multiplicity;
        } else {
            vertices.push_back({p[i], i, 1});
        }
    }
    return vertices;
}

CVector3 OffsetNormal(CVector3 tangent, const CMatrix4& working) {
    const CVector3 direction(working.At(2, 0), working.At(2, 1), working.At(2, 2));
    const CVector3 across = CrossProduct(tangent, direction);
    if (std::fabs(across.x) < 0.001f && std::fabs(across.y) < 0.001f &&
        std::fabs(across.z) < 0.001f) {
        const CVector3 firstAxis(working.At(0, 0), working.At(0, 1), working.At(0, 2));
        return Normalized(CrossProduct(tangent, firstAxis));
    }
    return Normalized(across);
}

// Working values shared by every profile of one generation.
struct CGeneration {
    int32_t a1 = 0;
    int32_t a2 = 1;
    int32_t a3 = 2;
    float t = 1.0f;       // heights run against the axis when the extrusion axis is 1
    float d = 0.0f;       // effective bevel size
    float bottom = 0.0f;  // bottom bevel height v
    float top = 0.0f;     // top bevel height u
    float depth = 0.0f;
    CMatrix4 working;
};

// The row's points take their in-plane coordinates from `x` and the height z * t.
void AppendRow(std::vector<CVector3>& net, const std::vector<CVector3>& x, const CGeneration& g,
               float z) {
    for (const CVector3& source : x) {
        CVector3 p;
        p[g.a1] = source[g.a1];
        p[g.a2] = source[g.a2];
        p[g.a3] = z * g.t;
        net.push_back(p);
    }
}

std::vector<CVector3> Blend(const std::vector<CVector3>& p, const std::vector<CVector3>& q,
                            float b) {
    std::vector<CVector3> r(p.size());
    for (size_t i = 0; i < p.size(); ++i) {
        r[i] = p[i] + (q[i] - p[i]) * b;
    }
    return r;
}

CSurface* MakeBand(const CExtrusion& owner, int rows, int n, int uSteps, int vSteps) {
    auto* s = new CSurface();
    s->materialName = owner.materialName;
    s->materialValue = owner.materialValue;
    s->materialMatrix = owner.materialMatrix;
    s->colourIndex = owner.colourIndex;
    s->nu = rows;
    s->nv = n;
    s->v.closed = 1;
    s->u.stepsPerSpan = uSteps;
    s->v.stepsPerSpan = vSteps;
    s->orientation = -1;
    s->points.reserve(static_cast<size_t>(rows) * n);
    return s;
}

void FinishBand(CSurface* s) {
    s->selection.assign(s->points.size(), 0);
    // A profile without points makes bands and outlines that describe nothing.
    if (!s->HasValidNet()) {
        s->displayState = kEmptyRecordState;
    }
}

CCurve* MakeOutline(const CExtrusion& owner, const std::vector<CVector3>& x, const CGeneration& g,
                    float z, int steps) {
    auto* c = new CCurve();
    c->materialName = owner.materialName;
    c->materialValue = owner.materialValue;
    c->materialMatrix = owner.materialMatrix;
    c->colourIndex = owner.colourIndex;
    c->closed = 1;
    c->stepsPerSpan = steps;
    AppendRow(c->points, x, g, z);
    c->selection.assign(c->points.size(), 0);
    if (c->points.empty()) {
        c->displayState = kEmptyRecordState;
    }
    return c;
}

void GenerateProfile(const CExtrusion& e, const CGeneration& g, const std::vector<CVector3>& p,
                     int steps, CListBuilder& surfaces, CListBuilder& curves) {
    const int n = static_cast<int>(p.size());
    const std::vector<CVector3> q = g.d == 0.0f ? p : OffsetProfile(p.data(), n, g.d, g.working);
    const float v = g.bottom;
    const float u = g.top;
    const float E = g.depth;
    if (std::fabs(E) > 0.001f) {
        CSurface* wall = MakeBand(e, 2, n, 0, steps);
        AppendRow(wall->points, q, g, v);
        AppendRow(wall->points, q, g, v + E);
        FinishBand(wall);
        surfaces.Append(wall);
    }
    if (v != 0.0f) {
        const bool rounded = e.bottomBevel == kBevelRounded;
        CSurface* band = MakeBand(e, rounded ? 5 : 2, n, rounded ? 4 : 0, steps);
        AppendRow(band->points, p, g, 0.0f);
        for (int r = 0; rounded && r < 3; ++r) {
            AppendRow(band->points, Blend(p, q, kRoundedBlend[r][0]), g,
                      v - v * kRoundedBlend[r][1]);
        }
        AppendRow(band->points, q, g, v);
        FinishBand(band);
        surfaces.Append(band);
    }
    if (u != 0.0f) {
        const bool rounded = e.topBevel == kBevelRounded;
        CSurface* band = MakeBand(e, rounded ? 5 : 2, n, rounded ? 4 : 0, steps);
        AppendRow(band->points, q, g, v + E);
        for (int r = 2; rounded && r >= 0; --r) {
            AppendRow(band->points, Blend(p, q, kRoundedBlend[r][0]), g,
                      v + E + u * kRoundedBlend[r][1]);
        }
        AppendRow(band->points, p, g, v + E + u);
        FinishBand(band);
        surfaces.Append(band);
    }
    curves.Append(MakeOutline(e, e.bottomBevel != kBevelNone ? p : q, g, 0.0f, steps));
    curves.Append(MakeOutline(e, e.topBevel != kBevelNone ? p : q, g, v + u + E, steps));
}

CGeneration PrepareGeneration(CExtrusion& e) {
    CGeneration g;
    g.a1 = e.firstPlaneAxis;
    g.a2 = e.secondPlaneAxis;
    g.a3 = e.extrusionAxis;
    g.t = g.a3 == 1 ? -1.0f : 1.0f;
    const bool noBevels = e.topBevel == kBevelNone && e.bottomBevel == kBevelNone;
    g.d = (noBevels || std::fabs(e.bevelSize) < 0.001f) ? 0.0f : e.bevelSize;
    e.bevelSize = g.d;
    g.bottom = e.bottomBevel != kBevelNone ? g.d : 0.0f;
    g.top = e.topBevel != kBevelNone ? g.d : 0.0f;
    g.depth = e.depth;
    CMatrix4 axes;
    for (int k = 0; k < 3; ++k) {
        axes.At(g.a1, k) = k == 0 ? 1.0f : 0.0f;
        axes.At(g.a2, k) = k == 1 ? 1.0f : 0.0f;
        axes.At(g.a3, k) = k == 2 ? g.t : 0.0f;
    }
    g.working = Inverse(axes);
    return g;
}

bool CountsMatchPoints(const CExtrusion& e) {
    int64_t total = 0;
    for (int32_t count : e.pointCounts) {
        if (count < 0) {
            return false;
        }
        total += count;
    }
    return total == static_cast<int64_t>(e.profilePoints.size());
}

}  // namespace

std::vector<CVector3> OffsetProfile(const CVector3* p, int n, float distance,
                                    const CMatrix4& working) {
    std::vector<CVector3> result(static_cast<size_t>(n > 0 ? n : 0));
    std::vector<CProfileVertex> vertices = MergeRepeatedPoints(p, n);
    // A last vertex on top of the first closes the profile: both are the same corner.
    const bool endsCoincide =
        vertices.size() > 1 && IsEqual(vertices.back().point, vertices.front().point);
    const size_t corners = vertices.size() - (endsCoincide ? 1 : 0);
    for (size_t i = 0; i < corners; ++i) {
        const CProfileVertex& vertex = vertices[i];
        const CVector3& previous = vertices[(i + corners - 1) % corners].point;
        const CVector3& following = vertices[(i + 1) % corners].point;
        const CVector3 e1 = Normalized(vertex.point - previous);
        const CVector3 e2 = Normalized(following - vertex.point);
        const float c = std::max(DotProduct(e1, e2), -0.866f);
        const CVector3 normal = OffsetNormal(Normalized(e1 + e2), working);
        const bool sharp = vertex.multiplicity > 1 || (endsCoincide && i == 0);
        const float s = sharp ? std::sqrt(2.0f / (c + 1.0f)) : 3.0f / (c + 2.0f);
        const CVector3 moved = vertex.point + normal * (distance * s);
        for (int k = 0; k < vertex.multiplicity; ++k) {
            result[static_cast<size_t>(vertex.first + k)] = moved;
        }
    }
    // The closing repeat of the first point takes the first offset point.
    if (endsCoincide) {
        const CProfileVertex& closing = vertices.back();
        for (int k = 0; k < closing.multiplicity; ++k) {
            result[static_cast<size_t>(closing.first + k)] = result[0];
        }
    }
    return result;
}

void GenerateExtrusion(CExtrusion& e) {
    e.curves.Clear();
    e.surfaces.Clear();
    if (!e.HasValidAxes() || !CountsMatchPoints(e)) {
        return;
    }
    const CGeneration g = PrepareGeneration(e);
    CListBuilder surfaces(e.surfaces.first);
    CListBuilder curves(e.curves.first);
    size_t start = 0;
    for (size_t i = 0; i < e.pointCounts.size(); ++i) {
        const size_t n = static_cast<size_t>(e.pointCounts[i]);
        const std::vector<CVector3> profile(
            e.profilePoints.begin() + static_cast<ptrdiff_t>(start),
            e.profilePoints.begin() + static_cast<ptrdiff_t>(start + n));
        const int steps = i < e.stepsPerSpan.size() ? e.stepsPerSpan[i] : 8;
        GenerateProfile(e, g, profile, steps, surfaces, curves);
        start += n;
    }
}

}  // namespace orva
