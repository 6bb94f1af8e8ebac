#include "app/report_pictures_job.h"

namespace orva {

void CReportPicturesJob::Start(CSceneAnchor& scene, int threads, Finished finished) {
    m_job.Start([&scene, threads, finished = std::move(finished)](CInterrupt& interrupt) {
        auto pictures = std::make_shared<CReportPictures>();
        if (!RenderReportPictures(scene, threads, *pictures, &interrupt)) {
            pictures.reset();
        }
        return std::function<void()>([finished, pictures] {
            if (finished) {
                finished(pictures);
            }
        });
    });
}

}  // namespace orva
