#pragma once

#include <array>
#include <string>
#include <vector>

#include "geometry/vector3.h"

namespace orva {

class CInterrupt;
struct CCsgPlan;
class CTessellationStore;
class CSceneObject;

// What to measure: the metal of the objects from `first` up to (not including) `stop`,
// resolved as the renderer resolves them (solids united, cutters subtracted, never-cut objects
// added, groups combined) but without the gems, which are stones and not metal.
struct CVolumeRequest {
    const CSceneObject* first = nullptr;
    const CSceneObject* stop = nullptr;
    // How they become a solid (not owned). Null: planned from `first` and `stop`.
    const CCsgPlan* plan = nullptr;
    // The grid is made fine enough for about this relative error, in per cent; a finer grid is
    // taken once more when the three directions disagree by more.
    double accuracyPercent = 0.5;
    int threads = 1;
    // Asked once per row of every band; an interrupted measure leaves its result incomplete.
    CInterrupt* interrupt = nullptr;
    // Where the objects' tessellation is kept (not owned). Null: the measurement keeps its own
    // while it lasts, shared by its bands, directions and passes.
    CTessellationStore* tessellation = nullptr;
};

// The metal of one material: the material file name the renderer gives the part (empty for
// the default material) and its volume in cubic model units.
struct CMaterialVolume {
    std::string material;
    double volume = 0.0;
};

// Metal where a part of one material reaches into a later part of another, which owns it.
struct CMetalOverlap {
    std::string material;   // of the earlier part
    std::string countedAs;  // of the later part, whose volume and weight hold the metal
    double volume = 0.0;
};

struct CSolidVolume {
    double volume = 0.0;  // the mean of the three directions
    // How far from the truth the volume may be, in per cent of it: the largest of the spread
    // of the three directions, the change from a grid of twice the spacing, what metal thinner
    // than two cells may put out, and what the grid was made fine enough for.
    double uncertaintyPercent = 0.0;
    // How far metal thinner than two cells along some direction (foil, fine wire) may put the
    // volume out, in cubic model units: the other directions see it edge-on and hit or miss it
    // by luck. The most any direction found.
    double thinMetalError = 0.0;
    std::array<double, 3> directionVolumes{};  // integrated along model y, z and x
    // Per material, in the order of the names: the metal the material owns, the mean of the
    // three directions. Parts with every cut made; where parts of different materials overlap,
    // the metal is the later part's (metal_ownership.h), so the materials add up to the whole.
    std::vector<CMaterialVolume> materials;
    // Where parts of different materials overlap by more than the accuracy asked for, and
    // their sum.
    std::vector<CMetalOverlap> overlaps;
    double overlapVolume = 0.0;
    // The box of the metal found; meaningless when `empty`.
    bool empty = true;
    CVector3 min;
    CVector3 max;
    double cellSize = 0.0;  // the grid's spacing in model units
    bool interrupted = false;
};

// Integrates the thickness of the resolved solid over three grids, looking along the model's
// y, z and x axes (standard views 1, 3 and 5), from the renderer's crossing lists alone: no
// shading and no picture. The grid's rows are split among the threads. Metal of several
// materials is measured once more per material, each alone on the same grid.
CSolidVolume MeasureSolidVolume(const CVolumeRequest& request);

}  // namespace orva
