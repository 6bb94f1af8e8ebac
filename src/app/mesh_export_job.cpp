#include "app/mesh_export_job.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <new>

#include "mesh/mesh_files.h"
#include "render/render_scene.h"

namespace orva {

namespace {

constexpr char kCancelledText[] = "The export was cancelled";

std::string Millimetres(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g mm", value);
    return text;
}

std::string NothingText(EMeshParts parts) {
    switch (parts) {
        case EMeshParts::kMetal:
            return "Nothing to export: the scene has no metal.";
        case EMeshParts::kGems:
            return "Nothing to export: the scene has no stones.";
        case EMeshParts::kAll:
            break;
    }
    return "Nothing to export: the scene has neither metal nor stones.";
}

std::string TooLargeText(const CMeshExportSettings& settings, const CPieceMesh& piece) {
    char gigabytes[32];
    std::snprintf(gigabytes, sizeof gigabytes, "%.1f GB", double(piece.estimatedBytes) / 1e9);
    return "The export is too large: at a resolution of " + Millimetres(settings.resolution) +
           " it would take about " + gigabytes + " of memory. A resolution of " +
           Millimetres(piece.resolutionThatFits) + " would fit.";
}

}  // namespace

bool Is3mfPath(const std::string& path) {
    if (path.size() < 4) {
        return false;
    }
    std::string end = path.substr(path.size() - 4);
    std::transform(end.begin(), end.end(), end.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return end == ".3mf";
}

void CMeshExportJob::Start(const CSceneRange& scene, const std::string& sceneName,
                           const CMeshExportSettings& settings, int threads, Finished finished) {
    Cancel();
    m_cancelled = false;
    m_rowsDone = 0;
    m_rowsToDo = 0;
    m_job.Start([this, scene, sceneName, settings, threads,
                 finished = std::move(finished)](CInterrupt& interrupt) {
        const CMeshExportResult result = Export(scene, sceneName, settings, threads, interrupt);
        return std::function<void()>([finished, result] {
            if (finished) {
                finished(result);
            }
        });
    });
}

CMeshExportResult CMeshExportJob::Export(const CSceneRange& scene, const std::string& sceneName,
                                         const CMeshExportSettings& settings, int threads,
                                         CInterrupt& interrupt) {
    CPieceMeshOptions options;
    options.resolution = settings.resolution;
    options.parts = settings.parts;
    options.threads = ThreadsOrCores(threads);
    options.interrupt = &interrupt;
    options.rowsDone = &m_rowsDone;
    options.rowsToDo = &m_rowsToDo;
    try {
        const CPieceMesh piece = MeshPiece(scene.first, scene.stop, options);
        // Meshes finished despite a late cancel are still not written: the user asked for none.
        if (piece.status == CPieceMesh::kStopped || m_cancelled) {
            return {EExportOutcome::kCancelled, kCancelledText};
        }
        if (piece.status == CPieceMesh::kNothing) {
            return {EExportOutcome::kNothing, NothingText(settings.parts)};
        }
        if (piece.status == CPieceMesh::kTooLarge) {
            return {EExportOutcome::kTooLarge, TooLargeText(settings, piece)};
        }
        std::string error;
        const bool written = Is3mfPath(settings.path)
                                 ? Write3mf(settings.path, sceneName, piece.parts, error)
                                 : WriteStl(settings.path, sceneName, piece.parts, error);
        if (!written) {
            return {EExportOutcome::kFailed,
                    "The export could not be written to " + settings.path + ": " + error};
        }
        // Cancelled while the file was being written: the user asked for no file.
        if (m_cancelled) {
            std::remove(settings.path.c_str());
            return {EExportOutcome::kCancelled, kCancelledText};
        }
        int64_t triangles = 0;
        for (const CMeshPart& part : piece.parts) {
            triangles += int64_t(part.mesh.triangles.size());
        }
        return {EExportOutcome::kWritten,
                "Exported " + std::to_string(triangles) + " triangles to " + settings.path,
                triangles};
    } catch (const std::bad_alloc&) {
        return {EExportOutcome::kFailed, "Not enough memory to export at a resolution of " +
                                             Millimetres(settings.resolution) + "."};
    }
}

void CMeshExportJob::RequestCancel() {
    if (m_job.Running()) {
        m_cancelled = true;
        m_job.RequestStop();
    }
}

void CMeshExportJob::Cancel() {
    RequestCancel();
    m_job.Stop();
}

int CMeshExportJob::Percent() const {
    const int toDo = m_rowsToDo.load();
    if (toDo <= 0) {
        return 0;
    }
    return std::min(m_rowsDone.load(), toDo) * 100 / toDo;
}

}  // namespace orva
