#include "render/band_plan.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "render/object_boxes.h"
#include "render/render_scene.h"
#include "scene/scene_object.h"
#include "view/on_screen.h"

namespace orva {

namespace {

// Tall bands of a large picture would be held back whole when a band below finishes first
// and the rows go to a file in order.
constexpr int kMostRows = 256;
// Fewer rows make a tree for too little work.
constexpr int kFewestRows = 8;
// What a row's pixels cost where no object is, next to a pixel an object's box covers.
constexpr double kEmptyPixelWork = 0.05;
// The smallest band's share of the whole work, times the threads: every band builds a tree of
// the objects that reach it, and objects that reach several bands are built in each, so bands
// stay few. Where a worker that runs out takes half of the rows another has left, the end of
// the picture needs no small bands; where bands stay whole, the last ones must be small, so
// that no worker waits long for another's.
constexpr double kSmallestShareRowsShared = 1.0 / 4.0;
constexpr double kSmallestShareBandsWhole = 1.0 / 16.0;

// The rows of the object's projected box within `rect` and the width of its columns there;
// false when it misses the rectangle.
bool ProjectedRows(const CScreenRect& box, const CRenderRect& rect, int& top, int& bottom,
                   double& width) {
    if (!(box.top <= rect.y1 + 1.0f && box.bottom >= float(rect.y0) && box.left <= rect.x1 + 1.0f &&
          box.right >= float(rect.x0))) {
        return false;  // outside, or not finite
    }
    // Clipped before it becomes an int: a box may reach far beyond any int.
    top = static_cast<int>(std::max(std::floor(double(box.top)), double(rect.y0)));
    bottom = static_cast<int>(std::min(std::ceil(double(box.bottom)), double(rect.y1)));
    width = std::min(double(box.right), rect.x1 + 1.0) -
            std::max(double(box.left), double(rect.x0)) + 1.0;
    return top <= bottom;
}

}  // namespace

std::vector<double> EstimateRowWork(const CRenderRequest& r, const CRenderRect& rect,
                                    const CObjectBoxes& boxes) {
    const int rows = std::max(0, rect.y1 - rect.y0 + 1);
    std::vector<double> work(static_cast<std::size_t>(rows),
                             kEmptyPixelWork * (rect.x1 - rect.x0 + 1));
    for (const CSceneObject* o = r.first; o != nullptr && o != r.stop; o = o->next) {
        int top = 0;
        int bottom = 0;
        double width = 0.0;
        const CScreenRect* box = boxes.Find(*o);
        if (box != nullptr && ProjectedRows(*box, rect, top, bottom, width)) {
            for (int y = top; y <= bottom; ++y) {
                work[static_cast<std::size_t>(y - rect.y0)] += width;
            }
        }
    }
    return work;
}

std::vector<CRenderRect> SplitIntoBands(const CRenderRect& rect, const std::vector<double>& rowWork,
                                        int threads, EBandEnds ends) {
    const int rows = rect.y1 - rect.y0 + 1;
    std::vector<CRenderRect> bands;
    if (threads <= 1 || static_cast<int>(rowWork.size()) != rows) {
        for (int y = rect.y0; y <= rect.y1; y += kMostRows) {
            bands.push_back({rect.x0, rect.x1, y, std::min(rect.y1, y + kMostRows - 1)});
        }
        return bands;
    }
    double left = std::accumulate(rowWork.begin(), rowWork.end(), 0.0);
    const double share =
        ends == EBandEnds::kRowsShared ? kSmallestShareRowsShared : kSmallestShareBandsWhole;
    const double smallest = left * share / threads;
    int y = rect.y0;
    while (y <= rect.y1) {
        const double wanted = std::max(left / (2.0 * threads), smallest);
        double taken = 0.0;
        int end = y;  // first row after the band
        while (end <= rect.y1 && end - y < kMostRows && (end - y < kFewestRows || taken < wanted)) {
            taken += rowWork[static_cast<std::size_t>(end - rect.y0)];
            ++end;
        }
        // A remainder too small for a band of its own joins this one.
        if (rect.y1 + 1 - end < kFewestRows && rect.y1 + 1 - y <= kMostRows) {
            end = rect.y1 + 1;
        }
        bands.push_back({rect.x0, rect.x1, y, end - 1});
        left -= taken;
        y = end;
    }
    return bands;
}

}  // namespace orva
