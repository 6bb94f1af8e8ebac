#include "cli/export_command.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include <nlohmann/json.hpp>

#include "cli/progress_bar.h"
#include "cli/scene_load.h"
#include "cli/standard_output.h"
#include "cli/stop_on_signal.h"
#include "mesh/glb_file.h"
#include "mesh/mesh_files.h"
#include "mesh/piece_mesh.h"
#include "platform/replacing_file.h"
#include "render/render_scene.h"
#include "report/shop_page.h"

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

json Describe(const CExportOptions& o, const CPieceMesh& piece, const std::string& format) {
    json d;
    d["file"] = o.outputPath;
    d["format"] = format;
    d["resolution_mm"] = o.resolution;
    d["parts"] = json::array();
    for (const CMeshPart& p : piece.parts) {
        CVector3 lo;
        CVector3 hi;
        MeshBounds(p.mesh, lo, hi);
        d["parts"].push_back({{"kind", p.kind == CMeshPart::kMetal ? "metal" : "gem"},
                              {"name", p.name},
                              {"material", p.material.empty() ? json(nullptr) : json(p.material)},
                              {"triangles", p.mesh.triangles.size()},
                              {"volume_mm3", EnclosedVolume(p.mesh)},
                              {"bounds", {{"min", Point(lo)}, {"max", Point(hi)}}}});
    }
    return d;
}

}  // namespace

int RunExportCommand(const CExportOptions& o) {
    const CStopOnSignal stopOnSignal;
    const std::string format = LowerExtension(o.outputPath);
    if (format != ".stl" && format != ".3mf" && format != ".glb" && format != ".html") {
        std::fprintf(stderr, "orva: %s: unknown extension; use .stl, .3mf, .glb or .html\n",
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
    std::string error;
    bool written = false;
    if (format == ".glb" || format == ".html") {
        CGlbFile glb = MakeGlb(sceneName, piece.parts);
        std::string bytes = std::move(glb.bytes);
        if (format == ".html") {
            std::string html;
            if (!MakeShopPage(scene, sceneName, std::move(bytes), options.threads, &UserInterrupt(),
                              html, error)) {
                if (error.empty()) {
                    return 130;
                }
                std::fprintf(stderr, "orva: %s: %s\n", o.outputPath.c_str(), error.c_str());
                return 1;
            }
            bytes = std::move(html);
        }
        written = WriteReplacingFile(o.outputPath, bytes);
        error = std::strerror(errno);
    } else {
        written = format == ".stl" ? WriteStl(o.outputPath, sceneName, piece.parts, error)
                                   : Write3mf(o.outputPath, sceneName, piece.parts, error);
    }
    if (!written) {
        std::fprintf(stderr, "orva: cannot write %s: %s\n", o.outputPath.c_str(), error.c_str());
        return 1;
    }
    if (o.json && !WriteResult(Describe(o, piece, format.substr(1))
                                   .dump(2, ' ', false, json::error_handler_t::replace) +
                               "\n")) {
        return 1;
    }
    return 0;
}

}  // namespace orva
