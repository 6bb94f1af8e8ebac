#pragma once

#include "scene/point_set_object.h"

namespace orva {

// Uniform cubic B-spline curve over its control points.
class CCurve : public CPointSetObject {
public:
    int32_t GetTypeId() const override { return kTypeCurve; }
    void Draw(CObjectDrawer& drawer, EDisplayMode mode) const override;
    std::unique_ptr<CSceneObject> Clone() const override;
    void Read(CByteReader& in) override;
    void Write(CByteWriter& out) const override;
    void SwapContents(CSceneObject& other) override { SwapSameClass(*this, other); }

    // With closed == 0, a clear free flag pins that end to its end control point.
    int32_t freeStart = 0;
    int32_t freeEnd = 0;
    int32_t closed = 0;
    // At most 1: the curve is drawn as its control polygon.
    int32_t stepsPerSpan = 8;
};

}  // namespace orva
