#include "app/mesh_export_job.h"

#include <cstdio>
#include <new>

#include "render/render_scene.h"
#include "report/piece_file.h"

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

void CMeshExportJob::Start(CSceneAnchor& scene, const std::string& sceneName,
                           const CMeshExportSettings& settings, int threads, Finished finished) {
    Cancel();
    m_cancelled = false;
    m_rowsDone = 0;
    m_rowsToDo = 0;
    m_job.Start([this, &scene, sceneName, settings, threads,
                 finished = std::move(finished)](CInterrupt& interrupt) {
        const CMeshExportResult result = Export(scene, sceneName, settings, threads, interrupt);
        return std::function<void()>([finished, result] {
            if (finished) {
                finished(result);
            }
        });
    });
}

CMeshExportResult CMeshExportJob::Export(CSceneAnchor& anchor, const std::string& sceneName,
                                         const CMeshExportSettings& settings, int threads,
                                         CInterrupt& interrupt) {
    CPieceMeshOptions options;
    options.resolution = settings.resolution;
    options.parts = settings.parts;
    options.threads = ThreadsOrCores(threads);
    options.interrupt = &interrupt;
    options.rowsDone = &m_rowsDone;
    options.rowsToDo = &m_rowsToDo;
    const CSceneRange scene = WholeScene(anchor);
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
        const CPieceFileResult written =
            WritePieceFile(settings.path, anchor, sceneName, piece, threads, &interrupt);
        // Cancelled while the file was being written: the user asked for no file.
        if (written.status == EPieceWritten::kStopped ||
            (written.status == EPieceWritten::kDone && m_cancelled)) {
            if (written.status == EPieceWritten::kDone) {
                std::remove(settings.path.c_str());
            }
            return {EExportOutcome::kCancelled, kCancelledText};
        }
        int64_t triangles = 0;
        for (const size_t n : written.triangles) {
            triangles += int64_t(n);
        }
        if (written.status == EPieceWritten::kFailed) {
            return {EExportOutcome::kFailed,
                    "The export could not be written to " + settings.path + ": " + written.error};
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
