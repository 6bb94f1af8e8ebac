#pragma once

#include <QImage>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <vector>

#include "app/row_hold.h"
#include "view/draw_surface.h"

class QPainter;
class QRectF;

namespace orva {

// The rendered picture of the view window in device pixels. Render threads hand their rows to
// PutImage; the window thread shows the rows that have arrived, over whatever it drew below.
class CCanvasSurface : public CDrawSurface {
public:
    CCanvasSurface();

    // A new size keeps nothing of the old picture.
    void Resize(int width, int height);
    // A new picture starts: no row of it has arrived yet (the old pixels stay until replaced).
    void BeginPicture();
    // The whole picture at once, in place of the one shown; false (nothing changes) when its
    // size differs. Every row is then new to DrawNewRows.
    bool ReplacePicture(const CImageSurface& picture);
    // Called, from the delivering thread, after rows arrived; at most once until the window
    // thread has drawn the canvas again, so a fast render does not flood the event queue.
    void SetRowsArrived(std::function<void()> notify) { m_notify = std::move(notify); }

    // Rows are handed in; while the window holds rows, the delivering thread then waits.
    void PutImage(int x, int y, int width, int height, const uint8_t* bits) override;

    // The window composes a frame: render threads pause after their current row, so that
    // the drawing has the processor, until ReleaseRows or for `atMost` at the longest.
    void HoldRows(std::chrono::milliseconds atMost);
    void ReleaseRows();

    // Draws the rows that arrived, scaled from device pixels to the painter's logical ones.
    void Draw(QPainter& painter, double devicePixelRatio);
    // Draws only the rows that arrived since the last Draw or DrawNewRows, for a window that
    // keeps what it showed.
    void DrawNewRows(QPainter& painter, double devicePixelRatio);
    // Whether every row of the current picture has arrived.
    bool Complete() const;
    int RowsArrived() const;
    int Width() const;
    int Height() const;
    QImage Image() const;

private:
    void DrawRows(QPainter& painter, double devicePixelRatio, bool onlyNew);

    mutable std::mutex m_mutex;  // render threads write rows while the window draws them
    QImage m_image;
    std::vector<char> m_arrived;  // per row: part of the current picture
    std::vector<char> m_drawn;    // per row: arrived and drawn since
    int m_arrivedCount = 0;
    std::function<void()> m_notify;
    std::atomic<bool> m_notifyPending{false};
    // Apart from m_mutex: a thread that waits here must not keep the window from drawing.
    CRowHold m_hold;
};

}  // namespace orva
