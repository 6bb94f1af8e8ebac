#pragma once

#include <span>
#include <vector>

#include "display/shaded_parts.h"

namespace orva {

// The triangles of planar outlines, all with one normal. The first outline is the border; the
// others are holes in it (or islands, which the triangulation treats alike).
CFlatTriangles FillOutlines(const CVector3& normal,
                            std::span<const std::vector<CVector3>> outlines);

}  // namespace orva
