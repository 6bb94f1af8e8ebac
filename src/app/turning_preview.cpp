#include "app/turning_preview.h"

#include <utility>

#include "app/turning_resolution.h"
#include "platform/thread_priority.h"
#include "render/render_scene.h"
#include "view/draw_surface.h"

namespace orva {

namespace {

double MillisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// The rendered rows (blue, green, red) as pixels the window draws without converting them.
QImage ToImage(const CImageSurface& picture) {
    QImage image(picture.Width(), picture.Height(), QImage::Format_RGB32);
    for (int row = 0; row < picture.Height(); ++row) {
        const uint8_t* source = picture.Row(row);
        QRgb* target = reinterpret_cast<QRgb*>(image.scanLine(row));
        for (int i = 0; i < picture.Width(); ++i, source += 3) {
            target[i] = qRgb(source[2], source[1], source[0]);
        }
    }
    return image;
}

// A picture whose render threads wait at each row while the window holds them.
class CHeldImageSurface : public CImageSurface {
public:
    CHeldImageSurface(int width, int height, CRowHold& hold)
        : CImageSurface(width, height), m_hold(hold) {}

    void PutImage(int x, int y, int width, int height, const uint8_t* bits) override {
        CImageSurface::PutImage(x, y, width, height, bits);
        m_hold.Wait();
    }

private:
    CRowHold& m_hold;
};

}  // namespace

CTurningPreview::CTurningPreview(FrameReady ready)
    : m_ready(std::move(ready)), m_fraction(kTurningStartFraction) {}

CTurningPreview::~CTurningPreview() {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_quit = true;
        m_interrupt.Request();
    }
    m_wake.notify_one();
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void CTurningPreview::Show(const CRenderRequest& request, const CViewport& viewport) {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_pending = CCamera{request, viewport};
        // Restarting from the newest camera shows where the user is now, rather than where
        // they were, but only while that costs no picture: under a stream of moves faster than
        // the pictures, stopping each would show none.
        if (m_busy && TimeToRestart()) {
            m_interrupt.Request();
        }
        if (!m_thread.joinable()) {
            m_thread = std::thread([this] { Run(); });
        }
    }
    m_wake.notify_one();
}

bool CTurningPreview::TimeToRestart() const {
    const double since = m_owed ? MillisecondsSince(m_owedSince) : 0.0;
    return since + m_expectedMilliseconds <= kFrameBudgetMilliseconds;
}

void CTurningPreview::Cancel() {
    const std::lock_guard<std::mutex> lock(m_mutex);
    ++m_generation;
    m_pending.reset();
    m_frame = QImage();
    m_owed = false;
    m_interrupt.Request();
}

void CTurningPreview::Stop() {
    Cancel();
    std::unique_lock<std::mutex> lock(m_mutex);
    m_idle.wait(lock, [this] { return !m_busy; });
}

QImage CTurningPreview::TakeFrame() {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return std::exchange(m_frame, QImage());
}

double CTurningPreview::PixelFraction() const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_fraction;
}

void CTurningPreview::ResetFraction() {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_fraction = kTurningStartFraction;
    m_expectedMilliseconds = m_targetMilliseconds;
}

void CTurningPreview::SetFrameTarget(double milliseconds) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_targetMilliseconds = milliseconds;
}

void CTurningPreview::Run() {
    // The window's thread and the full picture come first.
    LowerCurrentThreadPriority();
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_quit || m_pending.has_value(); });
        if (m_quit) {
            return;
        }
        const CCamera camera = std::move(*m_pending);
        m_pending.reset();
        const int64_t generation = m_generation;
        const double fraction = m_fraction;
        if (!m_owed) {
            m_owed = true;
            m_owedSince = std::chrono::steady_clock::now();
        }
        m_interrupt.Reset();
        m_busy = true;
        lock.unlock();

        const auto start = std::chrono::steady_clock::now();
        QImage picture = Render(camera, fraction);
        const double milliseconds = MillisecondsSince(start);

        lock.lock();
        if (!picture.isNull()) {
            m_fraction = NextTurningFraction(fraction, milliseconds, m_targetMilliseconds);
            m_expectedMilliseconds = milliseconds * m_fraction / fraction;
        }
        if (!picture.isNull() && generation == m_generation) {
            m_owed = false;
            m_frame = std::move(picture);
            // Still busy while the window is told: Stop returns only once nothing more can
            // reach the window.
            lock.unlock();
            if (m_ready) {
                m_ready();
            }
            lock.lock();
        }
        m_busy = false;
        m_idle.notify_all();
    }
}

QImage CTurningPreview::Render(const CCamera& camera, double fraction) {
    const CTurningSize size =
        TurningPictureSize(camera.viewport.width, camera.viewport.height, fraction);
    CHeldImageSurface surface(size.width, size.height, m_hold);
    // The same camera seen through a smaller window: the projection scales with the height.
    CViewport viewport = camera.viewport;
    viewport.SetRect(0, 0, size.width, size.height);
    CRenderRequest request = camera.request;
    request.windowMatrix = viewport.WindowMatrix();
    request.viewportX = 0;
    request.viewportY = 0;
    request.viewportWidth = size.width;
    request.viewportHeight = size.height;
    request.repaintSet = false;
    request.antialias = 1;
    request.keepMemory = true;  // the next picture follows at once
    request.surface = &surface;
    request.interrupt = &m_interrupt;
    if (RenderPicture(request).interrupted) {
        return {};
    }
    return ToImage(surface);
}

}  // namespace orva
