#include "render/csg/project_point.h"

namespace orva {

CVector3 ProjectPoint(CVector3 p, const CMatrix4& m) {
    float out[4];
    for (int c = 0; c < 4; ++c) {
        out[c] = p.x * m.At(0, c) + p.y * m.At(1, c) + p.z * m.At(2, c) + m.At(3, c);
    }
    const float w = out[3];
    if (w != 0.0f && w != 1.0f) {
        return {out[0] / w, out[1] / w, out[2] / w};
    }
    return {out[0], out[1], out[2]};
}

}  // namespace orva
