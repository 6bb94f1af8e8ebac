#pragma once

#include <functional>

#include "app/background_job.h"
#include "render/render_scene.h"

namespace orva {

// One software render at a time on a thread of its own, so that the window keeps answering
// while rows arrive. The request is a snapshot: the caller keeps the scene it names unchanged
// until the render is stopped or has finished.
class CRenderJob {
public:
    using Finished = std::function<void(const CRenderStats&)>;

    // Stops a render still running, then starts this one, stopped by the job's own interrupt
    // (the request's is replaced). `finished` runs on the render's thread once the last row
    // is handed over (or the render was stopped), when Running() is already false.
    void Start(const CRenderRequest& request, Finished finished);
    // Asks the render to stop after the rows in progress and waits for it; the rows already
    // delivered stay. Nothing when no render runs.
    void Stop() { m_job.Stop(); }
    bool Running() const { return m_job.Running(); }

private:
    CBackgroundJob m_job;
};

}  // namespace orva
