#include "cli/info_command.h"

#include <cstdio>

#include "cli/scene_load.h"
#include "cli/scene_summary.h"
#include "scene/gem_library.h"

namespace orva {

int RunInfoCommand(const CInfoOptions& options) {
    if (!options.gemLibraryPath.empty()) {
        GemLibrary().SetPath(options.gemLibraryPath);
    }
    CSceneAnchor scene;
    CLoadReport load;
    LoadCommandScene(scene, options.scenePath, load);
    if (load.stoppedEarly && load.status == CLoadReport::kOk) {
        std::fprintf(stderr, "orva: %s: reading stopped at byte %lld in top-level record %d: %s\n",
                     options.scenePath.c_str(), static_cast<long long>(load.stopOffset),
                     load.stopRecord, load.stopReason.c_str());
    }
    const nlohmann::ordered_json report = DescribeScene(scene, load);
    const std::string text = options.json ? report.dump(2) + "\n" : FormatSceneTable(report);
    std::fputs(text.c_str(), stdout);
    return load.status == CLoadReport::kOk ? 0 : 1;
}

}  // namespace orva
