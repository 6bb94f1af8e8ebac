#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "app/background_job.h"
#include "picture/picture_save_settings.h"
#include "platform/interrupt.h"
#include "scene/scene_file.h"
#include "view/viewport.h"

namespace orva {

enum class ESaveOutcome { kWritten, kCancelled, kFailed };

struct CPictureSaveResult {
    ESaveOutcome outcome = ESaveOutcome::kFailed;
    std::string message;  // for the status bar: the file written, or why there is none
};

// Renders a picture of the view at another size and writes it, on a thread of its own, so
// that the window keeps answering. One picture at a time. The scene it renders must stay
// unchanged until the job has finished or been cancelled. PNG and JPEG pictures are written
// row by row as they are rendered, so that even the largest takes little memory; a BMP is
// rendered whole in memory first, as its rows are stored bottom-up.
class CPictureSaveJob {
public:
    using Finished = std::function<void(const CPictureSaveResult&)>;

    // Cancels: a file written meanwhile is removed.
    ~CPictureSaveJob() { Cancel(); }

    // Starts the picture of `view` in display mode `mode` as `settings` say; `finished` runs
    // on the job's thread once the file is written, or the job failed or was cancelled, when
    // Running() is already false.
    // Settings that CheckPictureSaveSettings refuses finish at once as a failure.
    void Start(const CViewport& view, EDisplayMode mode, const CSceneRange& scene,
               const CPictureSaveSettings& settings, int threads, Finished finished);
    // Asks the render to stop after the rows in progress and returns at once; the job then
    // finishes as cancelled, leaving no file (one written meanwhile is removed).
    void RequestCancel();
    // Cancels, and waits for the job's thread: the scene is no longer read once it returns.
    void Cancel();
    bool Running() const { return m_job.Running(); }
    // Rows rendered so far, in percent of the picture's rows.
    int Percent() const;

private:
    CPictureSaveResult Save(const CViewport& view, EDisplayMode mode, const CSceneRange& scene,
                            const CPictureSaveSettings& settings, int threads,
                            CInterrupt& interrupt);
    // Percent() counts the rows `rowsDelivered` tells, from now until the call with null.
    void CountRows(std::function<int64_t()> rowsDelivered);

    std::atomic<bool> m_cancelled{false};
    std::atomic<int64_t> m_rows{1};
    mutable std::mutex m_rowsLock;  // guards the two below
    // The surface being rendered into tells its rows; it goes before its surface does.
    std::function<int64_t()> m_rowsDelivered;
    int64_t m_rowsDone = 0;  // the rows of the last surface once it is gone
    // Last: it stops the job's thread before the counters above go.
    CBackgroundJob m_job;
};

}  // namespace orva
