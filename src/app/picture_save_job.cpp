#include "app/picture_save_job.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

#include "picture/streamed_picture.h"
#include "view/draw_surface.h"

namespace orva {

namespace {

constexpr char kCancelledText[] = "Saving the picture was cancelled";

std::string SizeText(const CPictureSaveSettings& settings) {
    return std::to_string(settings.width) + " x " + std::to_string(settings.height);
}

std::string WriteFailedText(const CPictureSaveSettings& settings, int error) {
    return "The picture could not be written to " + settings.path + ": " + std::strerror(error);
}

// Runs `done` when it goes, however the scope is left.
class CAtExit {
public:
    explicit CAtExit(std::function<void()> done) : m_done(std::move(done)) {}
    ~CAtExit() { m_done(); }
    CAtExit(const CAtExit&) = delete;
    CAtExit& operator=(const CAtExit&) = delete;

private:
    std::function<void()> m_done;
};

}  // namespace

void CPictureSaveJob::Start(const CViewport& view, EDisplayMode mode, const CSceneRange& scene,
                            const CPictureSaveSettings& settings, int threads, Finished finished) {
    Cancel();
    // The render keeps a stop it is given, so the last picture's must not reach this one.
    m_job.Interrupt().Reset();
    m_cancelled = false;
    {
        const std::lock_guard<std::mutex> lock(m_rowsLock);
        m_rowsDone = 0;
    }
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
    const auto render = [&](CDrawSurface& surface, std::function<int64_t()> rowsDelivered) {
        CRenderRequest request =
            MakePictureSaveRequest(view, mode, scene, settings, surface, ThreadsOrCores(threads));
        request.interrupt = &interrupt;
        CountRows(std::move(rowsDelivered));
        const CAtExit stopCounting([this] { CountRows(nullptr); });
        CRenderStats stats = RenderPicture(request);
        // A render that ran to its end despite the cancel still makes no file.
        stats.interrupted = stats.interrupted || m_cancelled;
        return stats;
    };
    try {
        if (StreamsPicture(settings.path)) {
            CStreamedPicture picture;
            picture.path = settings.path;
            picture.width = settings.width;
            picture.height = settings.height;
            picture.transparent = settings.background == EPictureBackground::kTransparent;
            picture.background = SavedPictureBackground(settings);
            picture.interrupted = EInterruptedPicture::kNoFile;
            const CStreamedPictureResult streamed = RenderStreamedPicture(
                picture,
                [&](CRowStreamSurface& surface) {
                    return render(surface, [&surface] { return surface.RowsDelivered(); });
                },
                &interrupt);
            if (streamed.stats.interrupted) {
                return {ESaveOutcome::kCancelled, kCancelledText};
            }
            if (!streamed.written) {
                return {ESaveOutcome::kFailed, WriteFailedText(settings, streamed.error)};
            }
        } else {
            CImageSurface surface(settings.width, settings.height);
            if (settings.background == EPictureBackground::kTransparent) {
                surface.KeepCoverage();
            }
            if (render(surface, [&surface] { return surface.RowsDelivered(); }).interrupted) {
                return {ESaveOutcome::kCancelled, kCancelledText};
            }
            if (!WriteSavedPicture(settings, surface)) {
                return {ESaveOutcome::kFailed, WriteFailedText(settings, errno)};
            }
        }
        // Cancelled while the file was completed: the user asked for no file.
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

void CPictureSaveJob::CountRows(std::function<int64_t()> rowsDelivered) {
    const std::lock_guard<std::mutex> lock(m_rowsLock);
    if (m_rowsDelivered) {
        m_rowsDone = m_rowsDelivered();
    }
    m_rowsDelivered = std::move(rowsDelivered);
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
    int64_t done = 0;
    {
        const std::lock_guard<std::mutex> lock(m_rowsLock);
        done = m_rowsDelivered ? m_rowsDelivered() : m_rowsDone;
    }
    return static_cast<int>(std::min(done, m_rows.load()) * 100 / m_rows.load());
}

}  // namespace orva
