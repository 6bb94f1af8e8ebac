#pragma once

#include <span>
#include <string>
#include <vector>

#include "geometry/vector3.h"

namespace orva {

class CFrameContext;

// Draws `text` in vector-stroke digits with the pen starting at the point's window position,
// so labels keep their pixel size at any zoom. Only "." and "0".."9" have strokes; other
// characters draw nothing and leave the pen where it is.
void DrawLabel(CFrameContext& frame, const CVector3& point, const std::string& text);

// The index labels of a curve's control points: one label per run of coincident points,
// "j" for a single point, "j.j+1" for two, "j..k" for more, placed at the run's first point.
struct CPointLabel {
    int index = 0;  // the run's first point, where the label goes
    std::string text;
};
std::vector<CPointLabel> ControlPointLabels(std::span<const CVector3> points);

}  // namespace orva
