#include "app/picture_save_job.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

#include "view/draw_surface.h"

namespace orva {

namespace {

// The picture in memory, counting its rows and asking the render to stop at each row once the
// job is cancelled: the render forgets a stop asked for before its rows began.
class CSaveSurface : public CImageSurface {
public:
    CSaveSurface(int width, int height, std::atomic<int64_t>& rowsDone,
                 const std::atomic<bool>& cancelled, CInterrupt& interrupt)
        : CImageSurface(width, height),
          m_rowsDone(rowsDone),
          m_cancelled(cancelled),
          m_interrupt(interrupt) {}

    void PutImage(int x, int y, int width, int height, const uint8_t* bits) override {
        CImageSurface::PutImage(x, y, width, height, bits);
        m_rowsDone += height;
        if (m_cancelled) {
            m_interrupt.Request();
        }
    }

private:
    std::atomic<int64_t>& m_rowsDone;
    const std::atomic<bool>& m_cancelled;
    CInterrupt& m_interrupt;
};

constexpr char kCancelledText[] = "Saving the picture was cancelled";

std::string SizeText(const CPictureSaveSettings& settings) {
    return std::to_string(settings.width) + " x " + std::to_string(settings.height);
}

}  // namespace

void CPictureSaveJob::Start(const CViewport& view, EDisplayMode mode, const CSceneRange& scene,
                            const CPictureSaveSettings& settings, int threads, Finished finished) {
    Cancel();
    m_cancelled = false;
    m_rowsDone = 0;
    m_rows = std::max(settings.height, 1);
    m_job.Start([this, view, mode, scene, settings, threads,
                 finished = std::move(finished)](CInterrupt& interrupt) {
        const CPictureSaveResult result = Save(view, mode, scene, settings, threads, interrupt);
        return std::function<void()>([finished, result] {
            if (finished) {
                finished(result);
            }
        });
    });
}

CPictureSaveResult CPictureSaveJob::Save(const CViewport& view, EDisplayMode mode,
                                         const CSceneRange& scene,
                                         const CPictureSaveSettings& settings, int threads,
                                         CInterrupt& interrupt) {
    const std::string refused = CheckPictureSaveSettings(settings);
    if (!refused.empty()) {
        return {ESaveOutcome::kFailed, refused};
    }
    try {
        CSaveSurface surface(settings.width, settings.height, m_rowsDone, m_cancelled, interrupt);
        if (settings.background == EPictureBackground::kTransparent) {
            surface.KeepCoverage();
        }
        CRenderRequest request =
            MakePictureSaveRequest(view, mode, scene, settings, surface, ThreadsOrCores(threads));
        request.interrupt = &interrupt;
        const CRenderStats stats = RenderPicture(request);
        if (m_cancelled || stats.interrupted) {
            return {ESaveOutcome::kCancelled, kCancelledText};
        }
        if (!WriteSavedPicture(settings, surface)) {
            return {ESaveOutcome::kFailed, "The picture could not be written to " + settings.path +
                                               ": " + std::strerror(errno)};
        }
        // Cancelled while the file was written: the user asked for no file.
        if (m_cancelled) {
            std::remove(settings.path.c_str());
            return {ESaveOutcome::kCancelled, kCancelledText};
        }
    } catch (const std::bad_alloc&) {
        return {ESaveOutcome::kFailed,
                "Not enough memory for a picture of " + SizeText(settings) + " pixels"};
    }
    return {ESaveOutcome::kWritten, "Picture saved to " + settings.path};
}

void CPictureSaveJob::RequestCancel() {
    if (m_job.Running()) {
        m_cancelled = true;
        m_job.RequestStop();
    }
}

void CPictureSaveJob::Cancel() {
    RequestCancel();
    m_job.Stop();
}

int CPictureSaveJob::Percent() const {
    const int64_t done = std::min(m_rowsDone.load(), m_rows.load());
    return static_cast<int>(done * 100 / m_rows.load());
}

}  // namespace orva
