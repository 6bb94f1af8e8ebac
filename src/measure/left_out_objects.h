#pragma once

#include <string>
#include <vector>

namespace orva {

class CSceneObject;

// Farther than this from the crowd of the other objects, a part is taken as misplaced: a grid
// fitted to it and a ring together would have cells larger than the ring.
inline constexpr double kFarFromTheRestMm = 1000.0;

// A top-level object the measurement leaves out, and why.
struct CLeftOutObject {
    const CSceneObject* object = nullptr;
    std::string warning;  // "object 2 (polyMesh) is left out: ..."
};

// The objects from `first` up to `stop` that would spoil the measurement: any shown object
// whose points are not all finite, and any metal part whose box lies farther than
// kFarFromTheRestMm from the crowd (the part with the most others that near; the first on a
// tie). Objects are numbered as `orva info` lists them.
std::vector<CLeftOutObject> FindObjectsToLeaveOut(const CSceneObject* first,
                                                  const CSceneObject* stop);

}  // namespace orva
