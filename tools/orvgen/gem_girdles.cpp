#include "gem_girdles.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace orva {

namespace {

constexpr double kPi = 3.14159265358979323846;

CGemPoint OnCircle(CGemPoint centre, double radius, double angle) {
    return {centre.x + radius * std::cos(angle), centre.y + radius * std::sin(angle), 0.0};
}

// The point a fraction t along the circular arc from p to q whose middle stands `bulge` of
// the chord's length to the right of the chord (outward, on a counter-clockwise outline).
CGemPoint OnArcBetween(CGemPoint p, CGemPoint q, double bulge, double t) {
    const double chord = Norm(q - p);
    const CGemPoint along = (1.0 / chord) * (q - p);
    const CGemPoint outward{along.y, -along.x, 0.0};
    const double sagitta = bulge * chord;
    if (sagitta <= 0.0) {
        return Lerp(p, q, t);
    }
    const double radius = (chord * chord / 4.0 + sagitta * sagitta) / (2.0 * sagitta);
    const double halfAngle = std::atan2(chord / 2.0, radius - sagitta);
    const CGemPoint centre = Lerp(p, q, 0.5) + (sagitta - radius) * outward;
    const double angle = -halfAngle + 2.0 * halfAngle * t;
    return centre + radius * (std::cos(angle) * outward + std::sin(angle) * along);
}

// The whole ring from its right half, listed from the bottom point on the y axis up to the
// top point on the axis; the left half is its mirror image. The two axis points are put on
// the axis exactly, so that the halves meet without a seam.
std::vector<CGemPoint> MirroredRing(std::vector<CGemPoint> rightHalf) {
    rightHalf.front().x = 0.0;
    rightHalf.back().x = 0.0;
    std::vector<CGemPoint> ring = rightHalf;
    for (std::size_t k = rightHalf.size() - 2; k >= 1; --k) {
        ring.push_back({-rightHalf[k].x, rightHalf[k].y, 0.0});
    }
    return ring;
}

// Scales the ring to width 1 and length `ratio` with the middle of its box at the origin.
std::vector<CGemPoint> Fitted(std::vector<CGemPoint> ring, double ratio) {
    auto [minX, maxX] =
        std::minmax_element(ring.begin(), ring.end(), [](auto& a, auto& b) { return a.x < b.x; });
    auto [minY, maxY] =
        std::minmax_element(ring.begin(), ring.end(), [](auto& a, auto& b) { return a.y < b.y; });
    const double x0 = minX->x, x1 = maxX->x, y0 = minY->y, y1 = maxY->y;
    for (CGemPoint& p : ring) {
        p.x = (p.x - 0.5 * (x0 + x1)) / (x1 - x0);
        p.y = (p.y - 0.5 * (y0 + y1)) * ratio / (y1 - y0);
    }
    return ring;
}

// Half an ellipse or superellipse at equal steps of angle, bottom to top.
template <typename Shape>
std::vector<CGemPoint> RightHalfByAngle(int mains, Shape shape) {
    std::vector<CGemPoint> half;
    for (int k = 0; k <= mains; ++k) {
        const double angle = -kPi / 2.0 + kPi * k / mains;
        half.push_back(shape(std::cos(angle), std::sin(angle)));
    }
    return half;
}

}  // namespace

std::vector<CGemPoint> RoundGirdle(int mains) {
    return OvalGirdle(mains, 1.0);
}

std::vector<CGemPoint> OvalGirdle(int mains, double ratio) {
    const auto ellipse = [](double c, double s) { return CGemPoint{c, s, 0.0}; };
    return Fitted(MirroredRing(RightHalfByAngle(mains, ellipse)), ratio);
}

std::vector<CGemPoint> CushionGirdle(int mains, double ratio, double squareness) {
    const double e = 2.0 / squareness;
    const auto superellipse = [e](double c, double s) {
        return CGemPoint{std::copysign(std::pow(std::abs(c), e), c),
                         std::copysign(std::pow(std::abs(s), e), s), 0.0};
    };
    return Fitted(MirroredRing(RightHalfByAngle(mains, superellipse)), ratio);
}

std::vector<CGemPoint> MarquiseGirdle(double ratio) {
    const CGemPoint bottom{0.0, -ratio / 2.0, 0.0};
    const CGemPoint top{0.0, ratio / 2.0, 0.0};
    std::vector<CGemPoint> half;
    for (int k = 0; k <= 8; ++k) {
        half.push_back(OnArcBetween(bottom, top, 0.5 / ratio, k / 8.0));
    }
    return Fitted(MirroredRing(half), ratio);
}

std::vector<CGemPoint> PearGirdle(double ratio) {
    // The round end is a circle of radius 1/2 about the origin; the point stands at height h.
    // Each side arc touches the circle at its widest, so its centre lies on the x axis.
    const double r = 0.5;
    const double h = ratio - r;
    const double offset = (h * h - r * r) / (2.0 * r);
    const CGemPoint arcCentre{-offset, 0.0, 0.0};
    const double tipAngle = std::atan2(h, offset);
    std::vector<CGemPoint> half;
    for (int k = 0; k <= 4; ++k) {
        half.push_back(OnCircle({}, r, -kPi / 2.0 + kPi / 2.0 * k / 4.0));
    }
    for (int k = 1; k <= 4; ++k) {
        half.push_back(OnCircle(arcCentre, offset + r, tipAngle * k / 4.0));
    }
    return Fitted(MirroredRing(half), ratio);
}

std::vector<CGemPoint> HeartGirdle(double ratio, double lobe) {
    // Lobes of radius `lobe` about (+-a, 0) with a + lobe = 1/2; they cross on the y axis in
    // the cleft. Each lower arc touches its lobe at its widest point (1/2, 0) and runs to the
    // point at the bottom.
    const CGemPoint lobeCentre{0.5 - lobe, 0.0, 0.0};
    const double cleftAngle = std::acos(-lobeCentre.x / lobe);
    const double bottom = lobe - ratio;
    const double arcRadius = 0.25 + bottom * bottom;
    const CGemPoint arcCentre{0.5 - arcRadius, 0.0, 0.0};
    const double tipAngle = std::atan2(bottom, -arcCentre.x);
    std::vector<CGemPoint> half;
    for (int k = 0; k <= 4; ++k) {
        half.push_back(OnCircle(arcCentre, arcRadius, tipAngle * (1.0 - k / 4.0)));
    }
    // Five steps over the lobe leave the cleft an odd corner: no main points into it, and the
    // mains either side of it lean apart, as a cutter works a heart's lobes.
    for (int k = 1; k <= 5; ++k) {
        half.push_back(OnCircle(lobeCentre, lobe, cleftAngle * k / 5.0));
    }
    return Fitted(MirroredRing(half), ratio);
}

std::vector<CGemPoint> TrillionGirdle(double ratio, double bulge) {
    const CGemPoint top{0.0, 1.0, 0.0};
    const CGemPoint right{std::cos(kPi / 6.0), -0.5, 0.0};
    const CGemPoint left{-right.x, -0.5, 0.0};
    std::vector<CGemPoint> half;
    for (int k = 0; k <= 2; ++k) {  // the right half of the bottom side
        half.push_back(OnArcBetween(left, right, bulge, 0.5 + 0.25 * k));
    }
    for (int k = 1; k <= 4; ++k) {  // the right side up to the top corner
        half.push_back(OnArcBetween(right, top, bulge, k / 4.0));
    }
    return Fitted(MirroredRing(half), ratio);
}

CGemPoint AreaCentroid(const std::vector<CGemPoint>& ring) {
    double area = 0.0, cx = 0.0, cy = 0.0;
    for (std::size_t i = 0; i < ring.size(); ++i) {
        const CGemPoint& a = ring[i];
        const CGemPoint& b = ring[(i + 1) % ring.size()];
        const double cross = a.x * b.y - b.x * a.y;
        area += cross;
        cx += (a.x + b.x) * cross;
        cy += (a.y + b.y) * cross;
    }
    return {cx / (3.0 * area), cy / (3.0 * area), ring.empty() ? 0.0 : ring.front().z};
}

}  // namespace orva
