#include "measure/left_out_objects.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "scene/object_class.h"
#include "scene/scene_object.h"

namespace orva {

namespace {

struct CPlacedBox {
    const CSceneObject* object = nullptr;
    int index = 0;
    CVector3 min;
    CVector3 max;
};

bool IsFiniteBox(const CVector3& min, const CVector3& max) {
    for (float v : {min.x, min.y, min.z, max.x, max.y, max.z}) {
        if (!std::isfinite(v)) {
            return false;
        }
    }
    return true;
}

// Distance between two boxes (0 when they touch or overlap), in double so that far-off
// coordinates do not overflow.
double Gap(const CPlacedBox& a, const CPlacedBox& b) {
    double sum = 0.0;
    for (int k = 0; k < 3; ++k) {
        const double gap = std::max(
            {0.0, double(a.min[k]) - double(b.max[k]), double(b.min[k]) - double(a.max[k])});
        sum += gap * gap;
    }
    return std::sqrt(sum);
}

// Metal parts: what neither cuts nor is a stone.
bool IsMetalPart(const CSceneObject& o) {
    return o.GetTypeId() != kTypeGem && o.cutter == 0;
}

std::string Named(const CPlacedBox& box) {
    return "object " + std::to_string(box.index) + " (" + ObjectTypeName(box.object->GetTypeId()) +
           ")";
}

// The part with the most others within kFarFromTheRestMm (the first on a tie).
std::size_t Crowd(const std::vector<CPlacedBox>& parts) {
    std::size_t best = 0;
    int bestCount = -1;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        int count = 0;
        for (const CPlacedBox& other : parts) {
            count += Gap(parts[i], other) <= kFarFromTheRestMm ? 1 : 0;
        }
        if (count > bestCount) {
            best = i;
            bestCount = count;
        }
    }
    return best;
}

}  // namespace

std::vector<CLeftOutObject> FindObjectsToLeaveOut(const CSceneObject* first,
                                                  const CSceneObject* stop) {
    std::vector<CLeftOutObject> leftOut;
    std::vector<CPlacedBox> parts;
    int index = 0;
    for (const CSceneObject* o = first; o != nullptr && o != stop; o = o->next, ++index) {
        if (!o->IsShown()) {
            continue;
        }
        CPlacedBox box{o, index, {}, {}};
        ResetBounds(box.min, box.max);
        o->GetBounds(box.min, box.max, CMatrix4::Identity());
        if (BoundsEmpty(box.min, box.max)) {
            continue;
        }
        if (!IsFiniteBox(box.min, box.max)) {
            leftOut.push_back({o, Named(box) + " is left out: its points are not all finite"});
        } else if (IsMetalPart(*o)) {
            parts.push_back(box);
        }
    }
    if (parts.empty()) {
        return leftOut;
    }
    const CPlacedBox& crowd = parts[Crowd(parts)];
    for (const CPlacedBox& part : parts) {
        const double gap = Gap(part, crowd);
        if (gap > kFarFromTheRestMm) {
            char metres[32];
            std::snprintf(metres, sizeof metres, "%.3g", gap / 1000.0);
            leftOut.push_back({part.object, Named(part) + " is left out: it lies " + metres +
                                                " m from the rest of the piece"});
        }
    }
    return leftOut;
}

}  // namespace orva
