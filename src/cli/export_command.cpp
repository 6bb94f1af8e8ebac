#include "cli/export_command.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <filesystem>

#include <nlohmann/json.hpp>

#include "cli/progress_bar.h"
#include "cli/scene_load.h"
#include "cli/standard_output.h"
#include "cli/stop_on_signal.h"
#include "mesh/piece_mesh.h"
#include "render/render_scene.h"
#include "report/piece_file.h"

namespace orva {

using json = nlohmann::ordered_json;

namespace {

std::string LowerExtension(const std::string& path) {
    std::string e = std::filesystem::path(path).extension().string();
    std::transform(e.begin(), e.end(), e.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return e;
}

json Point(const CVector3& p) {
    return json::array({p.x, p.y, p.z});
}

// `written`: the triangles of each part as the file holds them.
json Describe(const CExportOptions& o, const CPieceMesh& piece, const std::string& format,
              const std::vector<size_t>& written, size_t bytes) {
    json d;
    d["file"] = o.outputPath;
    d["format"] = format;
    d["bytes"] = bytes;
    d["resolution_mm"] = o.resolution;
    d["parts"] = json::array();
    for (size_t i = 0; i < piece.parts.size(); ++i) {
        const CMeshPart& p = piece.parts[i];
        CVector3 lo;
        CVector3 hi;
        MeshBounds(p.mesh, lo, hi);
        d["parts"].push_back({{"kind", p.kind == CMeshPart::kMetal ? "metal" : "gem"},
                              {"name", p.name},
                              {"material", p.material.empty() ? json(nullptr) : json(p.material)},
                              {"triangles", written[i]},
                              {"volume_mm3", EnclosedVolume(p.mesh)},
                              {"bounds", {{"min", Point(lo)}, {"max", Point(hi)}}}});
    }
    return d;
}

}  // namespace

int RunExportCommand(const CExportOptions& o) {
    const CStopOnSignal stopOnSignal;
    const std::string format = LowerExtension(o.outputPath);
    if (PieceFormatOf(o.outputPath) == EPieceFormat::kUnknown) {
        std::fprintf(stderr, "orva: export: -o must be a .stl, .3mf, .glb or .html file (got %s)\n",
                     o.outputPath.c_str());
        return 2;
    }
    UseCommandData(o.gemLibraryPath, o.materialDirectory);
    CSceneAnchor scene;
    if (const int failed = LoadPictureScene(scene, o.scenePath); failed != 0) {
        return failed;
    }
    CPieceMeshOptions options;
    options.resolution = o.resolution;
    options.parts = o.parts == "metal" ? EMeshParts::kMetal
                                       : (o.parts == "gems" ? EMeshParts::kGems : EMeshParts::kAll);
    options.threads = ThreadsOrCores(o.threads);
    options.shippedGemNames = o.gemLibraryPath.empty();
    options.interrupt = &UserInterrupt();
    std::atomic<int> rowsDone{0};
    std::atomic<int> rowsToDo{0};
    options.rowsDone = &rowsDone;
    options.rowsToDo = &rowsToDo;
    CPieceMesh piece;
    {
        const CProgressBar progress([&] { return int64_t(rowsDone); },
                                    [&] { return int64_t(rowsToDo); },
                                    isatty(STDERR_FILENO) != 0 && !o.json);
        piece = MeshPiece(scene.first, nullptr, options);
    }
    if (StopRequested() || piece.status == CPieceMesh::kStopped) {
        return 130;
    }
    if (piece.status == CPieceMesh::kTooLarge) {
        std::fprintf(
            stderr, "orva: %s: a resolution of %g mm would take about %.1f GB; %.3f mm would fit\n",
            o.scenePath.c_str(), o.resolution, double(piece.estimatedBytes) / 1e9,
            piece.resolutionThatFits);
        return 1;
    }
    if (piece.status == CPieceMesh::kNothing) {
        std::fprintf(stderr, "orva: %s: nothing to export\n", o.scenePath.c_str());
        return 1;
    }
    const std::string sceneName = std::filesystem::path(o.scenePath).filename().string();
    const CPieceFileResult written =
        WritePieceFile(o.outputPath, scene, sceneName, piece, options.threads, &UserInterrupt());
    if (written.status == EPieceWritten::kStopped) {
        return 130;
    }
    if (written.status == EPieceWritten::kFailed) {
        std::fprintf(stderr, "orva: cannot write %s: %s\n", o.outputPath.c_str(),
                     written.error.c_str());
        return 1;
    }
    std::error_code ignored;
    const auto bytes = std::filesystem::file_size(o.outputPath, ignored);
    if (o.json && !WriteResult(Describe(o, piece, format.substr(1), written.triangles,
                                        ignored ? 0 : size_t(bytes))
                                   .dump(2, ' ', false, json::error_handler_t::replace) +
                               "\n")) {
        return 1;
    }
    return 0;
}

}  // namespace orva
