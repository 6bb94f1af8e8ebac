#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "geometry/vector3.h"
#include "studio_environment.h"

namespace orva {

// The renderer reads the two normal-driven maps the opposite way round: the reflection map at
// ((n.x + 1) / 2, (n.y + 1) / 2) of the eye-space normal n, the gloss map at
// ((1 - n.x) / 2, (1 - n.y) / 2). A map is drawn for the slot it is meant for, so that both
// show the studio upright.
enum class CMapSlot { kReflection, kGloss };

// A map drawn as the studio appears in a mirror ball seen by the viewer: every texel stands
// for the normal that reads it and holds the studio's colour along the view reflected about
// that normal.
struct CProceduralMap {
    std::string name;  // the file is name + ".bmp"
    int size = 256;    // width and height in pixels
    CMapSlot slot = CMapSlot::kReflection;
    CStudioEnvironment studio;
    // Multiplies the studio's colour, 255 = unchanged: metals see the room in their own hue.
    CVector3 tint{255.0f, 255.0f, 255.0f};
    // Added towards the silhouette, where the surface turns away from the viewer: a pearl's
    // orient. `rimWidth` is the outer part of the ball's radius it spreads over.
    CVector3 rim;
    float rimWidth = 0.0f;
};

// The eye-space unit normal whose lookup in `slot` lands on map coordinates (u, v), v = 0 at
// the bottom. Coordinates outside the ball's disk give the normal on its silhouette.
CVector3 NormalForMapCoordinates(CMapSlot slot, float u, float v);

// The texel colours (0..255 per component) of the map: size x size, top row first.
struct CMapPicture {
    int size = 0;
    std::vector<uint8_t> bgr;  // blue, green, red; size * 3 bytes per row
};
CMapPicture DrawProceduralMap(const CProceduralMap& map);

}  // namespace orva
