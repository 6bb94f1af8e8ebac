#include "cli/info_command.h"

#include <cstdio>

#include "cli/early_end_note.h"
#include "cli/scene_load.h"
#include "cli/scene_summary.h"
#include "cli/standard_output.h"
#include "scene/gem_library.h"

namespace orva {

int RunInfoCommand(const CInfoOptions& options) {
    if (!options.gemLibraryPath.empty()) {
        GemLibrary().SetPath(options.gemLibraryPath);
    }
    CSceneAnchor scene;
    CLoadReport load;
    LoadCommandScene(scene, options.scenePath, load);
    PrintEarlyEndNote(options.scenePath, load);
    // A file that was not read is said in the one line the reading printed; only JSON, which a
    // program reads, still gives its empty report.
    if (load.status != CLoadReport::kOk && !options.json) {
        return 1;
    }
    const nlohmann::ordered_json report = DescribeScene(scene, load);
    // Names are whatever bytes the file holds: invalid UTF-8 is replaced, never thrown over.
    const std::string text =
        options.json
            ? report.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n"
            : FormatSceneTable(report);
    if (!WriteResult(text)) {
        return 1;
    }
    return load.status == CLoadReport::kOk ? 0 : 1;
}

}  // namespace orva
