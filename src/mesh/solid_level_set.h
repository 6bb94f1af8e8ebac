#pragma once

#include <atomic>
#include <cstdint>

#include <openvdb/openvdb.h>

#include "geometry/vector3.h"

namespace orva {

class CInterrupt;
struct CCsgPlan;
class CMaterialTable;
class CSceneObject;
class CTessellationStore;

// The solid to sample: the resolved solid of `plan` among the objects from `first` up to
// `stop`, within the box `min`..`max`, on a lattice of nodes `spacing` apart.
struct CLevelSetRequest {
    const CSceneObject* first = nullptr;
    const CSceneObject* stop = nullptr;
    const CCsgPlan* plan = nullptr;
    const CMaterialTable* materials = nullptr;  // resolved for shading per pixel
    CVector3 min;
    CVector3 max;
    double spacing = 0.02;
    int threads = 1;
    CInterrupt* interrupt = nullptr;
    CTessellationStore* tessellation = nullptr;
    std::atomic<int>* rowsDone = nullptr;  // counts the rows of rays cast, for progress
};

// The rows of rays BuildSolidLevelSet casts, for progress.
int LevelSetRows(const CLevelSetRequest& request);

// The memory the level set of the request would take, estimated from the crossings of rays
// eight times as far apart (whose count grows with the square of the spacing).
int64_t EstimateLevelSetBytes(const CLevelSetRequest& request);

// A narrow-band signed distance field of the solid (negative inside), in model units: rays
// along the three model axes through the lattice's node lines write, at each crossing, the
// nodes on either side with their distance to the crossing's tangent plane; a node keeps the
// smallest over the axes, signed inside where most of the rays that wrote it found it inside.
// The lattice's origin lies a non-round fraction of the spacing off the box, so that faces at
// round coordinates do not fall on nodes. Null when the interrupt stopped it.
openvdb::FloatGrid::Ptr BuildSolidLevelSet(const CLevelSetRequest& request);

}  // namespace orva
