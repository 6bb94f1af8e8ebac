#pragma once

#include <cstdint>
#include <vector>

#include "geometry/vector3.h"
#include "studio_environment.h"

namespace orva {

// Many small lights strewn over a band of elevations, so that the flat facets of a cut stone,
// each reading the map along one direction only, catch a light often enough to sparkle. The
// places come from `seed` alone: the same description always draws the same map.
struct CScatteredLights {
    int count = 0;
    uint32_t seed = 1;
    float size = 8.0f;  // angular width and height, degrees
    float softness = 3.0f;
    float minElevation = -60.0f;
    float maxElevation = 80.0f;
    CVector3 colour{255.0f, 255.0f, 255.0f};
};

// The lights as softboxes, spread evenly over the band's area rather than crowding the top.
std::vector<CSoftbox> ScatterLights(const CScatteredLights& scatter);

}  // namespace orva
