#pragma once

#include <vector>

#include "scene/point_set_object.h"

namespace orva {

// Parameters of one direction (u along the rows, v along the columns) of a surface.
struct CSurfaceDirection {
    int32_t freeStart = 0;
    int32_t freeEnd = 0;
    int32_t closed = 0;
    int32_t stepsPerSpan = 8;
    int32_t reservedSteps = 8;  // carried through files only
};

// A trimming loop as stored: carried by reading and copying, with no behaviour of its own.
struct CSurfaceLoop {
    int32_t value = 0;
    std::vector<int32_t> pairs;  // two 4-byte values per pair, kept bit for bit
};

// Uniform cubic B-spline surface over a control net of nu rows of nv points.
class CSurface : public CPointSetObject {
public:
    CSurface() { netHidden = 1; }

    int32_t GetTypeId() const override { return kTypeSurface; }
    void Draw(CObjectDrawer& drawer, EDisplayMode mode) const override;
    std::unique_ptr<CSceneObject> Clone() const override;
    void Read(CByteReader& in) override;
    void Write(CByteWriter& out) const override;
    void SwapContents(CSceneObject& other) override { SwapSameClass(*this, other); }

    // A net whose size is nu * nv points; anything else is not drawn or rendered.
    bool HasValidNet() const;
    const CVector3& NetPoint(int row, int column) const {
        return points[static_cast<size_t>(row) * nv + column];
    }

    int32_t nu = 0;
    int32_t nv = 0;
    CSurfaceDirection u;
    CSurfaceDirection v;
    int32_t orientation = 1;  // the side the normals face: +1 or -1
    int32_t reservedFlag = 0;
    std::vector<CSurfaceLoop> loops;
};

}  // namespace orva
