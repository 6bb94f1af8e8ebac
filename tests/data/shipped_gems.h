#pragma once

#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "scene/poly_mesh.h"
#include "standard_view_render.h"
#include "view/draw_surface.h"

namespace orva::test {

// The gem library the build writes beside the programs, and the description it came from.

inline constexpr int kShippedGems = 12;
// The cut names in index order, as the description names them.
extern const char* const kShippedCutNames[kShippedGems];

// data/gemlib.json, parsed.
const nlohmann::json& ShippedDescription();
// The description of the cut with this index.
const nlohmann::json& ShippedCut(int index);
// The shape with this index, read from the generated file by the viewer's own loader; null
// when the library lacks it or it is not a polygon mesh.
const CPolyMesh* ShippedShape(int index);
std::string ShippedLibraryPath();

// A gem of the library rendered by the software renderer (per-pixel shading) in standard
// view 3, which looks down the model z axis with x to the right and y up, at zoom 1 into a
// square picture of `size` pixels, the gem placed with a uniform `scale`. The process-wide
// library is pointed at the shipped file for the render and put back after.
std::unique_ptr<CImageSurface> RenderFromAbove(int index, float scale, int size);
// Pixels rendering leaves alone; kBackground is what it paints where no surface is.
inline constexpr uint32_t kUnrendered = 0x123456;

}  // namespace orva::test
