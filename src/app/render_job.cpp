#include "app/render_job.h"

namespace orva {

void CRenderJob::Start(const CRenderRequest& request, Finished finished) {
    m_job.Start([own = request, finished = std::move(finished)](CInterrupt& interrupt) mutable {
        own.interrupt = &interrupt;
        const CRenderStats stats = RenderPicture(own);
        return std::function<void()>([finished, stats] {
            if (finished) {
                finished(stats);
            }
        });
    });
}

}  // namespace orva
