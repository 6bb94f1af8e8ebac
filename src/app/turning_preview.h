#pragma once

#include <QImage>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "app/row_hold.h"
#include "platform/interrupt.h"
#include "render/render_request.h"
#include "view/viewport.h"

namespace orva {

// The software pictures of a view being turned, rendered small enough to keep up with the
// mouse and scaled up where they are shown. The window's thread only hands over the newest
// camera and takes finished pictures: the rendering, and the waiting for it, happen on a
// thread of its own. The share of the pixels adapts to the time each picture takes, so that
// a new one is shown at least every kFrameBudgetMilliseconds.
class CTurningPreview {
public:
    // Called on the rendering thread each time a picture is ready for TakeFrame.
    using FrameReady = std::function<void()>;
    // A new picture at least this often: 15 a second.
    static constexpr double kFrameBudgetMilliseconds = 66.0;
    // What a picture is sized to take, leaving the rest of the budget for a picture stopped
    // early for a newer camera, and for the window to show it.
    static constexpr double kFrameTargetMilliseconds = 50.0;

    explicit CTurningPreview(FrameReady ready);
    ~CTurningPreview();
    CTurningPreview(const CTurningPreview&) = delete;
    CTurningPreview& operator=(const CTurningPreview&) = delete;

    // The view's picture for the camera of `viewport`, as the full render would make it
    // (`request` at the view's size, with its scene, shading, threads and kept tessellation),
    // is rendered next. A picture in progress for an older camera is stopped when there is
    // still time to finish the new one within the budget. Never waits.
    void Show(const CRenderRequest& request, const CViewport& viewport);
    // Forgets the cameras handed over: the picture in progress stops and neither it nor any
    // other finished before is handed over. Never waits.
    void Cancel();
    // Cancels and waits until nothing renders, so that the scene may change.
    void Stop();
    // The newest finished picture not taken yet; null when there is none.
    QImage TakeFrame();

    // The share of the view's pixels the next picture has.
    double PixelFraction() const;
    // A new scene starts again from kTurningStartFraction.
    void ResetFraction();
    // What the pictures are sized to take; kFrameTargetMilliseconds unless set.
    void SetFrameTarget(double milliseconds);
    // The window composes a frame: the picture in progress pauses after its current rows.
    void HoldRows(std::chrono::milliseconds atMost) { m_hold.Hold(atMost); }
    void ReleaseRows() { m_hold.Release(); }

private:
    struct CCamera {
        CRenderRequest request;
        CViewport viewport;
    };

    void Run();
    // The picture of `camera` at `fraction` of its pixels; null when it was stopped.
    QImage Render(const CCamera& camera, double fraction);
    // Whether a picture started now would still be shown within the budget of the pictures
    // since the last one shown.
    bool TimeToRestart() const;

    FrameReady m_ready;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;  // a camera arrived, or the thread is to end
    std::condition_variable m_idle;  // a picture ended
    std::thread m_thread;
    bool m_quit = false;
    std::optional<CCamera> m_pending;
    bool m_busy = false;     // a picture is rendered or handed over
    CInterrupt m_interrupt;  // the picture in progress
    CRowHold m_hold;
    int64_t m_generation = 0;  // raised by Cancel: pictures of older ones are dropped
    QImage m_frame;
    double m_fraction;
    double m_targetMilliseconds = kFrameTargetMilliseconds;
    // The next picture's time, from the last one's; before any, what it is sized to take.
    double m_expectedMilliseconds = kFrameTargetMilliseconds;
    // A picture was started since the last one handed over, the first of them at m_owedSince:
    // the user has waited for a new picture since then.
    bool m_owed = false;
    std::chrono::steady_clock::time_point m_owedSince;
};

}  // namespace orva
