#pragma once

#include <span>

#include "geometry/matrix4.h"
#include "geometry/vector3.h"

namespace orva {

// Unit vectors for lighting that survive any finite input: taken in double, so that lengths
// whose squares would underflow or overflow a float still give a direction. The zero vector
// and anything not finite come back as the zero vector, which lights as a surface seen edge-on
// instead of spreading NaN through the interpolation.

CVector3 UnitDirection(CVector3 v);

// Unit a x b.
CVector3 UnitCross(CVector3 a, CVector3 b);

// Unit (c - b) x (a - b): the normal of a face whose corners a, b, c turn counter-clockwise
// about it.
CVector3 UnitFaceNormal(CVector3 a, CVector3 b, CVector3 c);

// The direction of the sum of p[i] x p[i + 1] round a closed contour (its area vector): the
// normal about which the contour's order turns counter-clockwise. Zero when it encloses no area.
CVector3 UnitContourNormal(std::span<const CVector3> contour);

// d times the 3x3 part of m: a direction is turned and scaled but never moved, so a pan of the
// view does not tilt the lighting.
CVector3 TransformDirection(CVector3 d, const CMatrix4& m);

bool IsFinitePoint(CVector3 p);

}  // namespace orva
