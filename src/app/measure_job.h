#pragma once

#include <functional>

#include "app/background_job.h"
#include "measure/jewel_report.h"
#include "scene/scene_file.h"

namespace orva {

// One jeweller's report at a time on a thread of its own, so that the window keeps answering
// while the metal is measured. The caller keeps the scene unchanged until the job is stopped
// or has finished.
class CMeasureJob {
public:
    using Finished = std::function<void(const CJewelReport&)>;

    // Stops a measurement still running, then measures `scene`, stopped by the job's own
    // interrupt (the options' is replaced). `finished` runs on the job's thread with the
    // report, also an interrupted one, when Running() is already false.
    void Start(const CSceneRange& scene, const CJewelOptions& options, Finished finished);
    // Asks the measurement to stop and waits for it: the scene is no longer read once it
    // returns. Nothing when none runs.
    void Stop() { m_job.Stop(); }
    bool Running() const { return m_job.Running(); }

private:
    CBackgroundJob m_job;
};

}  // namespace orva
