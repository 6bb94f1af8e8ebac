#pragma once

#include <functional>
#include <memory>

namespace orva {

class CImageSurface;

// Renders one whole frame; null when the render was stopped before its end.
using CFrameRender = std::function<std::unique_ptr<CImageSurface>(int frame)>;
// Takes the frames in order; false stops the run (the frame could not be kept).
using CFrameDelivery = std::function<bool(int frame, const CImageSurface& picture)>;

struct COrderedFramesResult {
    int delivered = 0;
    bool renderStopped = false;   // a render came back without its frame
    bool deliveryFailed = false;  // the delivery refused a frame
};

// Renders frames 0..count-1 side by side on `workers` threads, each rendering whole frames,
// and hands them to `deliver` on the calling thread strictly in order. A worker starts a frame
// only while fewer than two frames per worker wait for their turn, so memory holds a few frames
// however long the run. Either function failing stops the run after the renders in progress.
COrderedFramesResult RenderFramesInOrder(int count, int workers, const CFrameRender& render,
                                         const CFrameDelivery& deliver);

}  // namespace orva
