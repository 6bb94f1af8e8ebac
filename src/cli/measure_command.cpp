#include "cli/measure_command.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "cli/early_end_note.h"
#include "cli/progress_bar.h"
#include "cli/scene_batch.h"
#include "cli/scene_load.h"
#include "cli/standard_output.h"
#include "cli/stop_on_signal.h"
#include "render/render_scene.h"
#include "report/jewel_report_pdf.h"

namespace orva {

namespace {

// The page of the report, pictures and all. An incomplete report gets its page too, banner and
// all: a jeweller may still want the part that was measured on paper. A scene that was not
// read has nothing to put on paper.
bool WritePdf(CSceneAnchor& scene, const CJewelReport& report, const std::string& path,
              int threads) {
    if (report.source.load.status != CLoadReport::kOk) {
        std::fprintf(stderr, "orva: %s not written: the scene could not be read\n", path.c_str());
        return false;
    }
    CReportPictures pictures;
    if (!RenderReportPictures(scene, threads, pictures, &UserInterrupt())) {
        return false;
    }
    std::string error;
    if (!WriteJewelReportPdf(report, pictures, path, error)) {
        std::fprintf(stderr, "orva: cannot write the report: %s\n", error.c_str());
        return false;
    }
    return true;
}

// Measures one scene and prints its report (and writes its page to `pdfPath` when set).
int MeasureScene(const CMeasureOptions& o, const CJewelOptions& options, const std::string& path,
                 const std::string& pdfPath, const CScenePlace& place, CSceneHeadings& headings) {
    CSceneAnchor scene;
    CLoadReport load;
    LoadCommandScene(scene, path, load);
    if (StopRequested()) {
        return 130;
    }
    PrintEarlyEndNote(path, load);
    CJewelReport report;
    if (load.status == CLoadReport::kOk && !StopRequested()) {
        // Of several scenes, the bar counts those done; it is gone before the report prints.
        const CProgressBar progress([&place] { return int64_t(place.index); }, place.count,
                                    place.Several() && isatty(STDERR_FILENO) != 0);
        report = MeasureJewel(scene.first, nullptr, options);
    }
    report.source = {std::filesystem::path(path).filename().string(), load};
    // A measure cut short would print figures too small: nothing is printed.
    if (StopRequested() || report.metal.interrupted) {
        return 130;
    }
    const std::string text = o.json ? JsonResult(DescribeJewel(report), place.Several())
                                    : headings.Headed(path, FormatJewelTable(report));
    if (!WriteResult(text)) {
        return 1;
    }
    if (!pdfPath.empty() && !WritePdf(scene, report, pdfPath, options.threads)) {
        return StopRequested() ? 130 : 1;
    }
    // Figures of part of a piece are not the piece's: a script must not take them as such.
    return load.status == CLoadReport::kOk && !IsIncomplete(report) ? 0 : 1;
}

}  // namespace

int RunMeasureCommand(const CMeasureOptions& o) {
    const CStopOnSignal stopOnSignal;
    CJewelOptions options;
    if (!o.alloy.empty()) {
        options.alloy = FindAlloy(o.alloy);
        if (options.alloy == nullptr) {
            std::fprintf(stderr, "orva: measure: --alloy must be one of %s (got %s)\n",
                         AlloyKeys().c_str(), o.alloy.c_str());
            return 2;
        }
    }
    // Each scene's page gets a file of its own, or none is measured.
    std::vector<std::string> pdfPaths(o.scenePaths.size());
    if (!o.pdfPath.empty() &&
        !OutputPerScene("measure", "--pdf", o.scenePaths, o.pdfPath, pdfPaths)) {
        return 2;
    }
    UseCommandData(o.gemLibraryPath, o.materialDirectory);
    options.accuracyPercent = o.accuracyPercent;
    options.threads = ThreadsOrCores(o.threads);
    options.shippedGemNames = o.gemLibraryPath.empty();
    options.interrupt = &UserInterrupt();
    CSceneHeadings headings(o.scenePaths.size());
    return RunSceneBatch(o.scenePaths, [&](const std::string& path, const CScenePlace& place) {
        return MeasureScene(o, options, path, pdfPaths[place.index], place, headings);
    });
}

}  // namespace orva
