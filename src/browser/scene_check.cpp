#include "browser/scene_check.h"

#include "scene/scene_file.h"

namespace orva {

CSceneCheck CheckSceneFile(const std::string& path, CInterrupt* interrupt) {
    CSceneAnchor scene;
    CLoadReport load;
    ReadSceneFile(scene, path, load, interrupt);
    switch (load.status) {
        case CLoadReport::kUnreadable:
            return {false, "cannot be read: " + load.reason};
        case CLoadReport::kInvalid:
            return {false, "not a scene file"};
        case CLoadReport::kOk:
            break;
    }
    if (!load.stoppedEarly) {
        return {};
    }
    // The objects before the early end open as they are; the count is theirs.
    return {load.count > 0, "ends early: " + std::to_string(load.count) +
                                (load.count == 1 ? " object" : " objects")};
}

}  // namespace orva
