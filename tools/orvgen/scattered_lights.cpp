#include "scattered_lights.h"

#include <cmath>

namespace orva {

namespace {

constexpr float kDegrees = 180.0f / 3.14159265358979f;

// A small fixed generator: the standard library's distributions may differ between library
// versions, and the shipped maps must not.
class CSequence {
public:
    // A zero state would stay zero for ever.
    explicit CSequence(uint32_t seed) : m_state(seed * 2654435761u + 1u) {
        m_state = m_state == 0 ? 1 : m_state;
    }
    // Uniform in [0, 1).
    float Next() {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return static_cast<float>(m_state >> 8) / 16777216.0f;
    }

private:
    uint32_t m_state;
};

}  // namespace

std::vector<CSoftbox> ScatterLights(const CScatteredLights& scatter) {
    std::vector<CSoftbox> lights;
    CSequence sequence(scatter.seed);
    const float lowSine = std::sin(scatter.minElevation / kDegrees);
    const float highSine = std::sin(scatter.maxElevation / kDegrees);
    for (int i = 0; i < scatter.count; ++i) {
        CSoftbox light;
        light.azimuth = 360.0f * sequence.Next() - 180.0f;
        // Uniform in the sine of the elevation is uniform over the sphere's area.
        const float sine = lowSine + (highSine - lowSine) * sequence.Next();
        light.elevation = std::asin(sine) * kDegrees;
        light.width = scatter.size;
        light.height = scatter.size;
        light.softness = scatter.softness;
        light.colour = scatter.colour;
        lights.push_back(light);
    }
    return lights;
}

}  // namespace orva
