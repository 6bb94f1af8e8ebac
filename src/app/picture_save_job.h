#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
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
// unchanged until the job has finished or been cancelled.
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

    std::atomic<bool> m_cancelled{false};
    std::atomic<int64_t> m_rowsDone{0};
    std::atomic<int64_t> m_rows{1};
    // Last: it stops the job's thread before the counters above go.
    CBackgroundJob m_job;
};

}  // namespace orva
