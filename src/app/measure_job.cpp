#include "app/measure_job.h"

namespace orva {

void CMeasureJob::Start(const CSceneRange& scene, const CJewelOptions& options, Finished finished) {
    m_job.Start(
        [scene, own = options, finished = std::move(finished)](CInterrupt& interrupt) mutable {
            own.interrupt = &interrupt;
            const CJewelReport report = MeasureJewel(scene.first, scene.stop, own);
            return std::function<void()>([finished, report] {
                if (finished) {
                    finished(report);
                }
            });
        });
}

}  // namespace orva
