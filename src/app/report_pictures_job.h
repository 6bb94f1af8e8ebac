#pragma once

#include <functional>
#include <memory>

#include "app/background_job.h"
#include "report/report_pictures.h"
#include "scene/scene_file.h"

namespace orva {

// The report's two pictures rendered on a thread of their own, so that the window keeps
// answering while Save PDF… or Print… waits for them. The caller keeps the scene unchanged
// until the job is stopped or has finished.
class CReportPicturesJob {
public:
    // The pictures; null when the job was stopped before they were done.
    using Finished = std::function<void(std::shared_ptr<const CReportPictures>)>;

    // Stops pictures still being rendered, then renders those of `scene` on `threads` (below
    // 1: one per core). `finished` runs on the job's thread when Running() is already false.
    void Start(CSceneAnchor& scene, int threads, Finished finished);
    // Asks the render to stop and waits for it: the scene is no longer read once it returns.
    void Stop() { m_job.Stop(); }
    bool Running() const { return m_job.Running(); }

private:
    CBackgroundJob m_job;
};

}  // namespace orva
