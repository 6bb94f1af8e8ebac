#pragma once

#include <optional>
#include <string>

#include "geometry/vector3.h"

namespace orva {

struct CCsgPlan;
class CInterrupt;
class CSceneObject;
class CTessellationStore;

// The size of a ring: the largest cylinder that passes through its opening, along the
// opening's own axis, and the sizes the trade reads it in.
struct CRingSize {
    double innerDiameterMm = 0.0;
    double circumferenceMm = 0.0;  // of the inner diameter
    CVector3 axis;                 // the opening's axis, a unit vector in model space
    std::string us;                // US and Canada: "6", "6 1/4", ...
    std::string uk;                // UK and Australia: "M", "M 1/2", "Z+2", ...
    std::string eu;                // EU, ISO 8653: the inner circumference in whole mm, "52"
    std::string jp;                // Japan: "12"
};

// Ring openings lie between these inner diameters, in mm; outside them a hole is a bail, a
// bangle or a frame, not a ring.
constexpr double kSmallestRingMm = 11.0;
constexpr double kLargestRingMm = 25.0;

// The sizes of a ring of the given inner diameter in mm, in every system.
CRingSize RingSizeOf(double innerDiameterMm);

// Where to look for a ring: the resolved metal of `plan` (metal only) between `first` and
// `stop`, within the box of the metal found.
struct CRingSearch {
    const CSceneObject* first = nullptr;
    const CSceneObject* stop = nullptr;
    const CCsgPlan* metal = nullptr;
    CVector3 min;
    CVector3 max;
    CTessellationStore* tessellation = nullptr;  // null: the search keeps its own
    CInterrupt* interrupt = nullptr;             // asked between looks; stopped, no ring
};

// The ring's size when the metal goes round a through-opening of a ring's inner diameter,
// found from the resolved solid: the opening's axis is the one along which the largest
// cylinder passes; none for any other piece.
std::optional<CRingSize> FindRingSize(const CRingSearch& search);

}  // namespace orva
