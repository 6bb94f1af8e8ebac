#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "app/background_job.h"
#include "mesh/piece_mesh.h"
#include "scene/scene_file.h"

namespace orva {

// What File ▸ Export… writes: the file (STL, 3MF, a glTF binary or a shop's web page, by its
// extension), which parts of the piece and how finely the metal is sampled.
struct CMeshExportSettings {
    std::string path;
    EMeshParts parts = EMeshParts::kAll;
    double resolution = 0.02;  // mm
};

enum class EExportOutcome { kWritten, kCancelled, kNothing, kTooLarge, kFailed };

struct CMeshExportResult {
    EExportOutcome outcome = EExportOutcome::kFailed;
    std::string message;  // the file and its triangles, or why there is no file
    int64_t triangles = 0;
};

// Meshes the resolved piece and writes it, on a thread of its own, so that the window keeps
// answering through the minutes a fine resolution may take. One export at a time. The scene
// must stay unchanged until the job has finished or been cancelled. A cancelled export leaves
// no file: the writers replace a file whole, so nothing is written unless the meshes are done.
class CMeshExportJob {
public:
    using Finished = std::function<void(const CMeshExportResult&)>;

    ~CMeshExportJob() { Cancel(); }

    // Starts exporting `scene` (named `sceneName` in the file) on `threads` (below 1: one per
    // core); `finished` runs on the job's thread once the file is written, or the export
    // failed or was cancelled, when Running() is already false. A web page also measures the
    // piece and renders its poster.
    void Start(CSceneAnchor& scene, const std::string& sceneName,
               const CMeshExportSettings& settings, int threads, Finished finished);
    // Asks the meshing to stop and returns at once; the job then finishes as cancelled.
    void RequestCancel();
    // Cancels, and waits for the job's thread: the scene is no longer read once it returns.
    void Cancel();
    bool Running() const { return m_job.Running(); }
    // Rows of rays cast so far, in percent of all the rows (0 until they are known).
    int Percent() const;

private:
    CMeshExportResult Export(CSceneAnchor& scene, const std::string& sceneName,
                             const CMeshExportSettings& settings, int threads,
                             CInterrupt& interrupt);

    std::atomic<bool> m_cancelled{false};
    std::atomic<int> m_rowsDone{0};
    std::atomic<int> m_rowsToDo{0};
    // Last: it stops the job's thread before the counters above go.
    CBackgroundJob m_job;
};

}  // namespace orva
