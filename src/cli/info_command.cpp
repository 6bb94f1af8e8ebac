#include "cli/info_command.h"

#include <cstdio>

#include "cli/early_end_note.h"
#include "cli/scene_batch.h"
#include "cli/scene_load.h"
#include "cli/scene_summary.h"
#include "cli/standard_output.h"
#include "scene/gem_library.h"

namespace orva {

namespace {

int ReportScene(const CInfoOptions& options, const std::string& path, const CScenePlace& place,
                CSceneHeadings& headings) {
    CSceneAnchor scene;
    CLoadReport load;
    LoadCommandScene(scene, path, load);
    PrintEarlyEndNote(path, load);
    // A file that was not read is said in the one line the reading printed; only JSON, which a
    // program reads, still gives its empty report.
    if (load.status != CLoadReport::kOk && !options.json) {
        return 1;
    }
    const nlohmann::ordered_json report = DescribeScene(scene, load);
    const std::string text = options.json ? JsonResult(report, place.Several())
                                          : headings.Headed(path, FormatSceneTable(report));
    if (!WriteResult(text)) {
        return 1;
    }
    return load.status == CLoadReport::kOk ? 0 : 1;
}

}  // namespace

int RunInfoCommand(const CInfoOptions& options) {
    if (!options.gemLibraryPath.empty()) {
        GemLibrary().SetPath(options.gemLibraryPath);
    }
    CSceneHeadings headings(options.scenePaths.size());
    return RunSceneBatch(options.scenePaths,
                         [&](const std::string& path, const CScenePlace& place) {
                             return ReportScene(options, path, place, headings);
                         });
}

}  // namespace orva
