#include "render/shading/pixel_shader.h"

#include <algorithm>
#include <cmath>

#include "render/shading/lighting.h"
#include "render/shading/map_coordinates.h"
#include "render/shading/render_material.h"
#include "render/shading/shading_context.h"
#include "render/shading/texture_sampling.h"

namespace orva {

namespace {

// Grazing views keep at least 75 % of the transparency; the reduction fades out at 0.25.
constexpr float kGrazingLimit = 0.25f;
// Reflection maps are brightened so that their top end can push a colour towards white.
constexpr float kReflectionGain = 1.2f;

float Screen(float a, float b) {
    return a + b - a * b;
}

CVector3 Screen(CVector3 a, CVector3 b) {
    return {Screen(a.x, b.x), Screen(a.y, b.y), Screen(a.z, b.z)};
}

CVector3 Product(CVector3 a, CVector3 b) {
    return {a.x * b.x, a.y * b.y, a.z * b.z};
}

CVector3 Maximum(CVector3 a, CVector3 b) {
    return {std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z)};
}

float Brightest(CVector3 c) {
    return std::max({c.x, c.y, c.z});
}

CVector3 BumpedNormal(const BmpImage& bumpMap, CMapCoordinates uv, CVector3 n,
                      const CShadingInputs& inputs) {
    const CBumpGradient g = SampleBumpGradient(bumpMap, uv.u, uv.v);
    const CVector3 t1 = Normalized(inputs.tangentU) + g.bu * n;
    const CVector3 t2 = Normalized(inputs.tangentV) + g.bv * n;
    return Normalized(CrossProduct(t1, t2));
}

// The viewer's direction mirrored about the normal; the reflection and gloss maps are read
// along it and its depth component measures how grazing the view is.
CVector3 MirrorVector(const CProjectionCentre& centre, int column, int row, CVector3 n) {
    const CVector3 eye{static_cast<float>(column) - centre.centreColumn,
                       (static_cast<float>(row) - centre.centreRow) * centre.verticalSign,
                       8.0f * centre.focalDistance - centre.fragmentDepth};
    const CVector3 e = Normalized(eye);
    return 2.0f * DotProduct(n, e) * e - n;
}

// Replaces the lit colour: dim reflections darken the base colour, bright ones push it
// towards white and make the surface opaque.
CVector3 Reflect(const BmpImage& map, const CTexelMap* texels, CVector3 mirror, CVector3 base,
                 float& transparency) {
    const CVector3 g = kReflectionGain * SampleColour(map, texels, (-mirror.x + 1.0f) * 0.5f,
                                                      (-mirror.y + 1.0f) * 0.5f);
    CVector3 colour;
    for (int c = 0; c < 3; ++c) {
        colour[c] =
            g[c] <= 1.0f ? g[c] * base[c] : base[c] + 4.0f * (g[c] - 1.0f) * (1.0f - base[c]);
    }
    transparency *= 1.0f - std::min(1.0f, Brightest(g));
    return colour;
}

CVector3 Gloss(const BmpImage& map, const CTexelMap* texels, CVector3 mirror, CVector3 colour,
               float& transparency) {
    const CVector3 h =
        SampleColour(map, texels, (mirror.x + 1.0f) * 0.5f, (mirror.y + 1.0f) * 0.5f);
    transparency *= 1.0f - std::min(1.0f, Brightest(h));
    return Screen(h, colour);
}

// Nearest byte; anything outside 0..255 (or NaN from a broken normal) stays a valid byte.
uint8_t ToByte(float c) {
    const float value = std::floor(c * 255.0f + 0.5f);
    if (!(value > 0.0f)) {
        return 0;
    }
    return value >= 255.0f ? 255 : static_cast<uint8_t>(value);
}

}  // namespace

float ShadePixel(const CShadingContext& ctx, const CRenderMaterial& material, uint8_t* pixel,
                 int column, int row, const CShadingInputs& inputs) {
    CVector3 n = Normalized(inputs.normal);
    const CMapCoordinates uv = MapCoordinates(material, inputs.surfacePoint, inputs.u, inputs.v);
    if (material.bumpMap != nullptr) {
        n = BumpedNormal(*material.bumpMap, uv, n, inputs);
    }
    const CLightFactors light = LightPixel(n, material.highlightThreshold);

    CVector3 ambient = material.ambientColour;
    CVector3 base = material.baseColour;
    if (material.colourMap != nullptr) {
        base = Screen(SampleColour(*material.colourMap, uv.u, uv.v), base);
        ambient = Product(ambient, base);
    }
    const CVector3 mirror = MirrorVector(ctx.projectionCentre, column, row, n);
    float transparency = material.transparency;

    // A reflection map stands for all the light the surface sends back, diffuse included.
    if (material.reflectionMap == nullptr) {
        base = base * light.diffuse;
    }
    CVector3 colour = Screen(light.highlight * material.highlightColour, Maximum(base, ambient));
    if (material.reflectionMap != nullptr) {
        colour =
            Reflect(*material.reflectionMap, material.reflectionTexels, mirror, base, transparency);
    }
    if (material.glossMap != nullptr) {
        colour = Gloss(*material.glossMap, material.glossTexels, mirror, colour, transparency);
    }
    if (std::fabs(mirror.z) < kGrazingLimit) {
        transparency *= 0.75f + 4.0f * mirror.z * mirror.z;
    }
    if (transparency > 0.0f) {
        for (int c = 0; c < 3; ++c) {
            const float old = static_cast<float>(pixel[2 - c]) / 255.0f;
            colour[c] = (1.0f - transparency) * colour[c] + transparency * old;
        }
    }
    pixel[2] = ToByte(colour.x);
    pixel[1] = ToByte(colour.y);
    pixel[0] = ToByte(colour.z);
    return transparency > 0.0f ? transparency : 0.0f;
}

}  // namespace orva
