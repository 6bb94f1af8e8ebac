#pragma once

#include <optional>
#include <string>

#include "geometry/vector3.h"

namespace orva {

// The size of a ring: the largest cylinder that passes through its opening, along the
// opening's own axis, and the sizes the trade reads it in.
struct CRingSize {
    double innerDiameterMm = 0.0;
    double circumferenceMm = 0.0;  // of the inner diameter
    CVector3 axis;                 // the opening's axis, a unit vector in model space
    std::string us;                // US and Canada: "6", "6 1/2", ...
    std::string uk;                // UK and Australia: "M", "M 1/2", ...
    std::string eu;                // EU, ISO 8653: the inner circumference in mm, "52"
    std::string jp;                // Japan: "12"
};

}  // namespace orva
