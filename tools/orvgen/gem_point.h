#pragma once

#include <cmath>

namespace orva {

// A point of a gem under construction. Facet corners are found by intersecting planes that
// meet at shallow angles, so the construction works in double precision and rounds to the
// mesh's floats only once, at the end.
struct CGemPoint {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

inline CGemPoint operator+(CGemPoint a, CGemPoint b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline CGemPoint operator-(CGemPoint a, CGemPoint b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline CGemPoint operator*(double s, CGemPoint p) {
    return {s * p.x, s * p.y, s * p.z};
}
inline bool operator==(CGemPoint a, CGemPoint b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}
inline CGemPoint Cross(CGemPoint a, CGemPoint b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double Dot(CGemPoint a, CGemPoint b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline double Norm(CGemPoint a) {
    return std::sqrt(Dot(a, a));
}
// The same point at another height.
inline CGemPoint AtHeight(CGemPoint p, double z) {
    return {p.x, p.y, z};
}
// The point a fraction t of the way from a to b.
inline CGemPoint Lerp(CGemPoint a, CGemPoint b, double t) {
    return a + t * (b - a);
}

}  // namespace orva
