#include "report/piece_file.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "mesh/glb_file.h"
#include "mesh/mesh_files.h"
#include "platform/replacing_file.h"
#include "report/shop_page.h"

namespace orva {

namespace {

CPieceFileResult WriteWebFile(const std::string& path, EPieceFormat format, CSceneAnchor& scene,
                              const std::string& sceneName, const CPieceMesh& piece, int threads,
                              CInterrupt* interrupt) {
    CPieceFileResult result;
    CGlbFile glb = MakeGlb(sceneName, piece.parts);
    result.triangles = glb.triangles;
    std::string bytes = std::move(glb.bytes);
    if (format == EPieceFormat::kWebPage) {
        std::string html;
        if (!MakeShopPage(scene, sceneName, std::move(bytes), threads, interrupt, html,
                          result.error)) {
            result.status = result.error.empty() ? EPieceWritten::kStopped : EPieceWritten::kFailed;
            return result;
        }
        bytes = std::move(html);
    }
    if (!WriteReplacingFile(path, bytes)) {
        result.error = std::strerror(errno);
        return result;
    }
    result.status = EPieceWritten::kDone;
    return result;
}

}  // namespace

EPieceFormat PieceFormatOf(const std::string& path) {
    std::string e = std::filesystem::path(path).extension().string();
    std::transform(e.begin(), e.end(), e.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return e == ".stl"    ? EPieceFormat::kStl
           : e == ".3mf"  ? EPieceFormat::k3mf
           : e == ".glb"  ? EPieceFormat::kGlb
           : e == ".html" ? EPieceFormat::kWebPage
                          : EPieceFormat::kUnknown;
}

CPieceFileResult WritePieceFile(const std::string& path, CSceneAnchor& scene,
                                const std::string& sceneName, const CPieceMesh& piece, int threads,
                                CInterrupt* interrupt) {
    const EPieceFormat format = PieceFormatOf(path);
    if (format == EPieceFormat::kGlb || format == EPieceFormat::kWebPage) {
        return WriteWebFile(path, format, scene, sceneName, piece, threads, interrupt);
    }
    CPieceFileResult result;
    if (format == EPieceFormat::kUnknown) {
        result.error = "unknown extension; use .stl, .3mf, .glb or .html";
        return result;
    }
    for (const CMeshPart& part : piece.parts) {
        result.triangles.push_back(part.mesh.triangles.size());
    }
    const bool done = format == EPieceFormat::kStl
                          ? WriteStl(path, sceneName, piece.parts, result.error)
                          : Write3mf(path, sceneName, piece.parts, result.error);
    result.status = done ? EPieceWritten::kDone : EPieceWritten::kFailed;
    return result;
}

}  // namespace orva
