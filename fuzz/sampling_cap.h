#pragma once

#include <algorithm>

#include "scene/curve.h"
#include "scene/extrusion.h"
#include "scene/group.h"
#include "scene/surface.h"

namespace orva::fuzz {

// Keeps the fuzzed curves and surfaces to at most `most` steps per span. Step counts are free
// integers in a file, and the sampler allows up to 256 per span (millions of points for a
// surface of a few spans): a fuzzer that mutates them spends its time tessellating one input
// per second instead of exploring. That bound is tested on its own; here every input stays
// quick, so that the readers, planner and renderer behind it are reached many times a second.
inline void CapSamplingSteps(CSceneObject* first, int most) {
    for (CSceneObject* o = first; o != nullptr; o = o->next) {
        switch (o->GetTypeId()) {
            case kTypeCurve: {
                auto& c = static_cast<CCurve&>(*o);
                c.stepsPerSpan = std::min(c.stepsPerSpan, most);
                break;
            }
            case kTypeSurface: {
                auto& s = static_cast<CSurface&>(*o);
                s.u.stepsPerSpan = std::min(s.u.stepsPerSpan, most);
                s.v.stepsPerSpan = std::min(s.v.stepsPerSpan, most);
                break;
            }
            case kTypeExtrusion: {
                auto& e = static_cast<CExtrusion&>(*o);
                CapSamplingSteps(e.curves.first, most);
                CapSamplingSteps(e.surfaces.first, most);
                break;
            }
            case kTypeGroup:
                CapSamplingSteps(static_cast<CGroup&>(*o).children.first, most);
                break;
            default:
                break;
        }
    }
}

}  // namespace orva::fuzz
