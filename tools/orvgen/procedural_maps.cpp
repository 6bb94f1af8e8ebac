#include "procedural_maps.h"

#include <algorithm>
#include <cmath>

namespace orva {

namespace {

// The direction a viewer looking along -z sees reflected in a mirror with normal `n`.
CVector3 ReflectedView(CVector3 n) {
    return 2.0f * n.z * n - CVector3{0.0f, 0.0f, 1.0f};
}

float RimWeight(const CProceduralMap& map, CVector3 n) {
    if (map.rimWidth <= 0.0f) {
        return 0.0f;
    }
    const float radius = std::sqrt(n.x * n.x + n.y * n.y);
    const float t = std::clamp((radius - (1.0f - map.rimWidth)) / map.rimWidth, 0.0f, 1.0f);
    return t * t;
}

CVector3 TexelColour(const CProceduralMap& map, float u, float v) {
    const CVector3 n = NormalForMapCoordinates(map.slot, u, v);
    const CVector3 seen = StudioRadiance(map.studio, ReflectedView(n));
    CVector3 colour;
    for (int c = 0; c < 3; ++c) {
        colour[c] = seen[c] * map.tint[c] / 255.0f + RimWeight(map, n) * map.rim[c];
    }
    return colour;
}

uint8_t ToByte(float value) {
    return static_cast<uint8_t>(std::lround(std::clamp(value, 0.0f, 255.0f)));
}

}  // namespace

CVector3 NormalForMapCoordinates(CMapSlot slot, float u, float v) {
    float x = 2.0f * u - 1.0f;
    float y = 2.0f * v - 1.0f;
    if (slot == CMapSlot::kGloss) {
        x = -x;
        y = -y;
    }
    const float r2 = x * x + y * y;
    if (r2 >= 1.0f) {
        const float r = std::sqrt(r2);
        return {x / r, y / r, 0.0f};
    }
    return {x, y, std::sqrt(1.0f - r2)};
}

CMapPicture DrawProceduralMap(const CProceduralMap& map) {
    CMapPicture picture;
    picture.size = std::max(map.size, 1);
    const int size = picture.size;
    picture.bgr.resize(static_cast<size_t>(size) * size * 3);
    for (int row = 0; row < size; ++row) {
        // The sampler reads texel i exactly at coordinate i / size (v counted from the bottom).
        const float v = static_cast<float>(size - 1 - row) / static_cast<float>(size);
        for (int column = 0; column < size; ++column) {
            const float u = static_cast<float>(column) / static_cast<float>(size);
            const CVector3 colour = TexelColour(map, u, v);
            uint8_t* texel = &picture.bgr[(static_cast<size_t>(row) * size + column) * 3];
            texel[0] = ToByte(colour.z);
            texel[1] = ToByte(colour.y);
            texel[2] = ToByte(colour.x);
        }
    }
    return picture;
}

}  // namespace orva
