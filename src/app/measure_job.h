#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "cli/jewel_report.h"
#include "scene/scene_file.h"
#include "view/interrupt.h"

namespace orva {

// One jeweller's report at a time on a thread of its own, so that the window keeps answering
// while the metal is measured. The caller keeps the scene unchanged until the job is stopped
// or has finished.
class CMeasureJob {
public:
    using Finished = std::function<void(const CJewelReport&)>;

    CMeasureJob() = default;
    ~CMeasureJob();
    CMeasureJob(const CMeasureJob&) = delete;
    CMeasureJob& operator=(const CMeasureJob&) = delete;

    // Stops a measurement still running, then measures `scene`, stopped by the job's own
    // interrupt (the options' is replaced). `finished` runs on the job's thread with the
    // report, also an interrupted one.
    void Start(const CSceneRange& scene, const CJewelOptions& options, Finished finished);
    // Asks the measurement to stop and waits for it: the scene is no longer read once it
    // returns. Nothing when none runs.
    void Stop();
    bool Running() const { return m_running.load(); }

private:
    CInterrupt m_interrupt;
    std::thread m_thread;
    std::atomic<bool> m_running{false};
    std::mutex m_mutex;
    std::condition_variable m_done;
};

}  // namespace orva
