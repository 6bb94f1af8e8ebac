#include "measure/ring_size.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <optional>
#include <vector>

#include "platform/interrupt.h"
#include "render/band_tree.h"
#include "render/csg/csg_plan.h"
#include "render/csg/render_pools.h"
#include "render/csg/tree_walk.h"
#include "render/render_context.h"
#include "render/render_scene.h"
#include "render/row_loop.h"
#include "render/shading/material_table.h"
#include "render/tessellation/tessellation_store.h"
#include "scene/scene_object.h"

namespace orva {

namespace {

// The conversions, from the inner diameter d in mm (R. Rowlett, "How Many? A Dictionary of
// Units of Measurement", University of North Carolina at Chapel Hill, entry "ring size"; the US
// scale as the National Bureau of Standards gives it, 0.458 in + 0.032 in a size):
//   US and Canada  d = 11.6332 + 0.8128 n, in quarter sizes;
//   UK, Australia  circumference = 36.25 + 1.25 n with A = 1, B = 2, ..., in half sizes, and
//                  Z+1, Z+2, ... beyond Z (BS 6820);
//   EU, ISO 8653   the inner circumference in mm;
//   Japan          d = (n + 38) / 3, whole sizes only.
constexpr double kUsZeroMm = 11.6332;
constexpr double kUsStepMm = 0.8128;
constexpr double kUkZeroMm = 36.25;
constexpr double kUkStepMm = 1.25;

std::string UsSize(double d) {
    const long quarters = std::lround(4.0 * (d - kUsZeroMm) / kUsStepMm);
    if (quarters < 0) {
        return "below 0";
    }
    static const char* const kFractions[] = {"", " 1/4", " 1/2", " 3/4"};
    const long whole = quarters / 4;
    const char* fraction = kFractions[quarters % 4];
    return whole == 0 && *fraction != '\0' ? std::string(fraction + 1)
                                           : std::to_string(whole) + fraction;
}

std::string UkSize(double circumference) {
    const long halves = std::lround(2.0 * (circumference - kUkZeroMm) / kUkStepMm);
    if (halves < 2) {
        return "below A";
    }
    const long letter = halves / 2;  // 1 is A
    const std::string half = halves % 2 != 0 ? " 1/2" : "";
    if (letter <= 26) {
        return std::string(1, static_cast<char>('A' + letter - 1)) + half;
    }
    return "Z+" + std::to_string(letter - 26) + half;
}

std::string JpSize(double d) {
    const long n = std::lround(3.0 * d - 38.0);
    return n < 1 ? "below 1" : std::to_string(n);
}

// A model-space frame looking along `axis`: eye x and y across it, eye z along it (a rotation,
// so that the renderer keeps the solid's inside inside).
struct CFrame {
    CVector3 u;
    CVector3 v;
    CVector3 axis;
};

CFrame FrameAlong(CVector3 axis) {
    axis = Normalized(axis);
    const float ax[3] = {std::fabs(axis.x), std::fabs(axis.y), std::fabs(axis.z)};
    const int least = static_cast<int>(std::min_element(ax, ax + 3) - ax);
    const CVector3 e(least == 0 ? 1.0f : 0.0f, least == 1 ? 1.0f : 0.0f, least == 2 ? 1.0f : 0.0f);
    const CVector3 u = Normalized(CrossProduct(axis, e));
    return {u, CrossProduct(axis, u), axis};
}

CMatrix4 ViewOf(const CFrame& f) {
    CMatrix4 view = CMatrix4::Zero();
    const CVector3 columns[3] = {f.u, f.v, f.axis};
    for (int c = 0; c < 3; ++c) {
        view.At(0, c) = columns[c].x;
        view.At(1, c) = columns[c].y;
        view.At(2, c) = columns[c].z;
    }
    view.At(3, 3) = 1.0f;
    return view;
}

// Looks along the frame's axis through a grid of points: columns step `across` along eye x from
// `origin` (in eye x and y), rows step `across` down eye y. True where the line meets metal.
class CMetalProbe {
public:
    explicit CMetalProbe(const CRingSearch& s)
        : m_search(s), m_materials(EShading::kVertexColours, s.first, s.stop) {
        m_context.materials = &m_materials;
        m_store = s.tessellation != nullptr ? s.tessellation : &m_ownStore;
    }

    bool Stopped() { return m_search.interrupt != nullptr && m_search.interrupt->Poll(); }

    std::vector<char> Look(const CFrame& frame, double originX, double originY, double across,
                           int columns, int rows) {
        CMatrix4 w = CMatrix4::Identity();
        w[0] = static_cast<float>(1.0 / across);
        w[5] = static_cast<float>(-1.0 / across);
        w[12] = static_cast<float>(-originX / across);
        w[13] = static_cast<float>(originY / across);
        CRenderRequest r;
        r.first = m_search.first;
        r.stop = m_search.stop;
        r.plan = m_search.metal;
        r.view = ViewOf(frame);
        r.windowMatrix = Multiply(r.view, w);
        r.viewportWidth = columns;
        r.viewportHeight = rows;
        r.shading = EShading::kVertexColours;
        r.tessellation = m_store;
        const CRenderRect rect{0, columns - 1, 0, rows - 1};
        const CBandTree tree(m_context, r, rect);
        CRowWalker walker(tree.Root());
        std::vector<char> metal(static_cast<std::size_t>(columns) * rows, 0);
        for (int y = 0; y < rows; ++y) {
            if (!walker.AdvanceTo(y, m_context)) {
                continue;
            }
            CRenderNode& root = *tree.Root();
            for (int x = std::max(0, root.leftmostColumn); x < columns; ++x) {
                metal[static_cast<std::size_t>(y) * columns + x] = HasMetal(root, x);
            }
        }
        return metal;
    }

private:
    bool HasMetal(CRenderNode& root, int x) {
        CFragment* list = DropCoincidentPairs(FragmentsAtColumn(root, x, m_context), m_context);
        bool any = false;
        for (const CFragment* f = list; f != nullptr && f->link != nullptr; f = f->link->link) {
            any = any || f->depth - f->link->depth > 0.0f;
        }
        RecycleFragments(m_context.pools, list);
        return any;
    }

    const CRingSearch& m_search;
    CMaterialTable m_materials;
    CRenderContext m_context;
    CTessellationStore m_ownStore;
    CTessellationStore* m_store = nullptr;
};

// An opening seen along an axis: its centre in model space and the radius of the largest
// circle inside it.
struct COpening {
    CFrame frame;
    CVector3 centre;
    double radius = 0.0;
};

constexpr int kCoarseCells = 160;

// The largest opening enclosed by metal, seen along `axis` on a coarse grid: the empty cells
// not reached from the grid's border, and among them the one farthest from metal.
std::optional<COpening> CoarseOpening(CMetalProbe& probe, const CRingSearch& s, CVector3 axis) {
    const CFrame f = FrameAlong(axis);
    double lo[2] = {1e30, 1e30};
    double hi[2] = {-1e30, -1e30};
    for (int corner = 0; corner < 8; ++corner) {
        const CVector3 p((corner & 1) != 0 ? s.max.x : s.min.x,
                         (corner & 2) != 0 ? s.max.y : s.min.y,
                         (corner & 4) != 0 ? s.max.z : s.min.z);
        const double e[2] = {DotProduct(p, f.u), DotProduct(p, f.v)};
        for (int k = 0; k < 2; ++k) {
            lo[k] = std::min(lo[k], e[k]);
            hi[k] = std::max(hi[k], e[k]);
        }
    }
    const double cell = std::max(hi[0] - lo[0], hi[1] - lo[1]) / kCoarseCells;
    if (!(cell > 0.0)) {
        return std::nullopt;
    }
    const int columns = static_cast<int>(std::ceil((hi[0] - lo[0]) / cell)) + 2;
    const int rows = static_cast<int>(std::ceil((hi[1] - lo[1]) / cell)) + 2;
    const double x0 = lo[0] - cell / 2;
    const double y0 = hi[1] + cell / 2;
    const std::vector<char> metal = probe.Look(f, x0, y0, cell, columns, rows);
    // Empty cells reached from the border are outside; the rest that are empty are enclosed.
    std::vector<char> outside(metal.size(), 0);
    std::vector<int> stack;
    const auto push = [&](int x, int y) {
        const std::size_t i = static_cast<std::size_t>(y) * columns + x;
        if (x >= 0 && y >= 0 && x < columns && y < rows && metal[i] == 0 && outside[i] == 0) {
            outside[i] = 1;
            stack.push_back(static_cast<int>(i));
        }
    };
    for (int x = 0; x < columns; ++x) {
        push(x, 0);
        push(x, rows - 1);
    }
    for (int y = 0; y < rows; ++y) {
        push(0, y);
        push(columns - 1, y);
    }
    while (!stack.empty()) {
        const int i = stack.back();
        stack.pop_back();
        const int x = i % columns;
        const int y = i / columns;
        push(x + 1, y);
        push(x - 1, y);
        push(x, y + 1);
        push(x, y - 1);
    }
    std::vector<int> metalCells;
    std::vector<int> enclosed;
    for (int i = 0; i < columns * rows; ++i) {
        (metal[static_cast<std::size_t>(i)] != 0 ? metalCells : enclosed)
            .push_back(outside[static_cast<std::size_t>(i)] != 0 ? -1 : i);
    }
    std::erase(enclosed, -1);
    std::optional<COpening> best;
    double bestSquared = 0.0;
    for (const int i : enclosed) {
        double nearest = 1e300;
        for (const int m : metalCells) {
            const double dx = m % columns - i % columns;
            const double dy = m / columns - i / columns;
            nearest = std::min(nearest, dx * dx + dy * dy);
        }
        if (nearest > bestSquared) {
            bestSquared = nearest;
            const double ex = x0 + (i % columns) * cell;
            const double ey = y0 - (i / columns) * cell;
            const CVector3 centre = f.u * static_cast<float>(ex) + f.v * static_cast<float>(ey);
            best = COpening{f, centre, (std::sqrt(nearest) - 0.5) * cell};
        }
    }
    return best;
}

// Distance from q to the segment from a to b, in the plane.
double SegmentDistance(const double q[2], const double a[2], const double b[2]) {
    const double abx = b[0] - a[0];
    const double aby = b[1] - a[1];
    const double length = abx * abx + aby * aby;
    const double t =
        length > 0.0 ? std::clamp(((q[0] - a[0]) * abx + (q[1] - a[1]) * aby) / length, 0.0, 1.0)
                     : 0.0;
    return std::hypot(q[0] - a[0] - t * abx, q[1] - a[1] - t * aby);
}

double Clearance(const std::vector<std::array<double, 2>>& wall, const double q[2]) {
    double nearest = 1e300;
    for (std::size_t k = 0; k < wall.size(); ++k) {
        nearest = std::min(nearest,
                           SegmentDistance(q, wall[k].data(), wall[(k + 1) % wall.size()].data()));
    }
    return nearest;
}

// Where the wall of the opening is, looking along the opening's axis from its centre outward
// in `directions` directions: a coarse row finds the first metal, a fine one between its
// neighbours the wall to a few ten-thousandths of a millimetre. The largest circle within the
// wall's polygon is then found by a shrinking pattern search from the centre. None when a
// direction finds no wall: the opening is not closed.
std::optional<COpening> ExactOpening(CMetalProbe& probe, const COpening& coarse, int directions) {
    constexpr int kCoarseColumns = 200;
    constexpr int kFineColumns = 100;
    const CFrame& f = coarse.frame;
    const double cx = DotProduct(coarse.centre, f.u);
    const double cy = DotProduct(coarse.centre, f.v);
    const double reach = 2.0 * coarse.radius + 1.0;
    std::vector<std::array<double, 2>> wall;
    for (int k = 0; k < directions; ++k) {
        if (probe.Stopped()) {
            return std::nullopt;
        }
        const double angle = 2.0 * std::numbers::pi * k / directions;
        CFrame row = f;
        row.u =
            f.u * static_cast<float>(std::cos(angle)) + f.v * static_cast<float>(std::sin(angle));
        row.v = CrossProduct(f.axis, row.u);
        const double rx = DotProduct(coarse.centre, row.u);
        const double ry = DotProduct(coarse.centre, row.v);
        const double step = reach / kCoarseColumns;
        const std::vector<char> near = probe.Look(row, rx, ry, step, kCoarseColumns, 1);
        const auto first = std::find(near.begin(), near.end(), 1);
        if (first == near.begin() || first == near.end()) {
            return std::nullopt;
        }
        const double from = (first - near.begin() - 1) * step;
        const double fine = step / kFineColumns;
        const std::vector<char> at = probe.Look(row, rx + from, ry, fine, kFineColumns + 1, 1);
        const auto hit = std::find(at.begin(), at.end(), 1);
        const double r = from + ((hit - at.begin()) - 0.5) * fine;
        wall.push_back({r * std::cos(angle), r * std::sin(angle)});
    }
    double q[2] = {0.0, 0.0};
    double clearance = Clearance(wall, q);
    for (double step = coarse.radius / 8.0; step > 1e-5;) {
        bool moved = false;
        for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
            const double t[2] = {q[0] + dx * step, q[1] + dy * step};
            const double c = Clearance(wall, t);
            if (c > clearance) {
                clearance = c;
                q[0] = t[0];
                q[1] = t[1];
                moved = true;
            }
        }
        step = moved ? step : step / 2.0;
    }
    COpening exact = coarse;
    exact.centre = f.u * static_cast<float>(cx + q[0]) + f.v * static_cast<float>(cy + q[1]) +
                   f.axis * DotProduct(coarse.centre, f.axis);
    exact.radius = clearance;
    return exact;
}

// The opening's axis: the largest cylinder passes along it, and narrows as the axis tilts
// away. Climbs from the axis the opening was first seen along, tilting by halving angles.
COpening ClimbToAxis(CMetalProbe& probe, COpening best) {
    constexpr int kDirectionsWhileClimbing = 36;
    const double radians = std::numbers::pi / 180.0;
    for (double tilt = 4.0 * radians; tilt > 0.1 * radians;) {
        bool moved = false;
        for (const auto& [a, b] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
            COpening trial = best;
            trial.frame =
                FrameAlong(best.frame.axis + best.frame.u * static_cast<float>(a * std::tan(tilt)) +
                           best.frame.v * static_cast<float>(b * std::tan(tilt)));
            const std::optional<COpening> seen =
                ExactOpening(probe, trial, kDirectionsWhileClimbing);
            if (seen && seen->radius > best.radius + 1e-6) {
                best = *seen;
                moved = true;
            }
        }
        tilt = moved ? tilt : tilt / 2.0;
    }
    return best;
}

}  // namespace

CRingSize RingSizeOf(double d) {
    CRingSize ring;
    ring.innerDiameterMm = d;
    ring.circumferenceMm = std::numbers::pi * d;
    ring.us = UsSize(d);
    ring.uk = UkSize(ring.circumferenceMm);
    ring.eu = std::to_string(std::lround(ring.circumferenceMm));
    ring.jp = JpSize(d);
    return ring;
}

std::optional<CRingSize> FindRingSize(const CRingSearch& search) {
    if (search.metal == nullptr || BoundsEmpty(search.min, search.max)) {
        return std::nullopt;
    }
    CMetalProbe probe(search);
    std::optional<COpening> coarse;
    for (const CVector3 axis : {CVector3(1, 0, 0), CVector3(0, 1, 0), CVector3(0, 0, 1)}) {
        const std::optional<COpening> seen = CoarseOpening(probe, search, axis);
        if (seen && (!coarse || seen->radius > coarse->radius)) {
            coarse = seen;
        }
    }
    // A coarse look is within a cell or two of the truth: far from a ring's size, no need to
    // look closer.
    if (!coarse || 2.0 * coarse->radius < 0.8 * kSmallestRingMm ||
        2.0 * coarse->radius > 1.2 * kLargestRingMm) {
        return std::nullopt;
    }
    const std::optional<COpening> first = ExactOpening(probe, *coarse, 36);
    if (!first) {
        return std::nullopt;
    }
    const COpening climbed = ClimbToAxis(probe, *first);
    const std::optional<COpening> exact = ExactOpening(probe, climbed, 360);
    if (!exact || 2.0 * exact->radius < kSmallestRingMm || 2.0 * exact->radius > kLargestRingMm) {
        return std::nullopt;
    }
    CRingSize ring = RingSizeOf(2.0 * exact->radius);
    ring.axis = exact->frame.axis;
    return ring;
}

}  // namespace orva
