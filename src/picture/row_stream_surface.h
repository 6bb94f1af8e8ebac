#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "image/picture_writer.h"
#include "picture/picture_row_writer.h"
#include "platform/interrupt.h"
#include "view/draw_surface.h"

namespace orva {

// A surface that writes a render straight into a PNG or JPEG file, so a picture of any size is
// never whole in memory. Render threads deliver rows in any order and at once; a row is written as
// soon as every row above it is, and only rows that arrive early are kept until then.
//
// How far ahead rows are kept is bounded (see SetRowsAhead): a thread delivering a row further
// down waits until the rows above it are written. That cannot stall a render whose threads
// each deliver the rows of a band in order and take bands in increasing order, since the
// thread holding the first missing row never waits; when a render is interrupted that row may
// never come, so the waiting threads watch the interrupt (SetInterrupt) and then go on.
//
// A row counts as delivered with its first PutImage (a second one for the same row is
// dropped); pixels of it that PutImage leaves out keep the background. With alpha, a row's
// PutCoverage comes before its PutImage; a row without one is opaque. Rows never delivered
// (a render that was interrupted) are written by Finish in the background colour, with alpha
// 0 when there is alpha: nothing was drawn there.
//
// The file appears under its name only when Finish succeeds; a surface destroyed before
// that, or one whose file could not be written, leaves nothing behind.
class CRowStreamSurface : public CDrawSurface {
public:
    // `background` is 0xRRGGBB. Alpha needs a PNG: a JPEG with alpha, or a BMP (whose rows run
    // bottom-up), leaves the surface failed with EINVAL.
    CRowStreamSurface(const std::string& path, EPictureFormat format, int width, int height,
                      bool alpha, uint32_t background, int jpegQuality = kDefaultJpegQuality,
                      const CPngTexts& texts = {});

    // At most `rows` (at least 1) rows past the last one written are kept. By default a
    // quarter of the picture or 64 MB, whichever holds more rows: a render's threads then
    // work on bands that far apart without waiting.
    void SetRowsAhead(int rows);
    // Waiting threads stop waiting once this interrupt is asked for (and keep their rows).
    void SetInterrupt(CInterrupt* interrupt);

    void PutImage(int x, int y, int width, int height, const uint8_t* bits) override;
    void PutCoverage(int x, int y, int width, const uint8_t* alpha) override;

    // Once every PutImage has returned: writes the rows still missing as background,
    // completes the file and gives it its name. False with errno when the file could not be
    // written, then or before; rows delivered after a failure are dropped.
    bool Finish();

    // False once the file could not be opened or written; Error() then holds errno's reason.
    bool Good() const;
    int Error() const;

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // How many rows PutImage has delivered so far (read by progress bars while rendering).
    int64_t RowsDelivered() const { return m_rowsDelivered.load(); }
    // The most rows held in memory at once, waiting for the rows above them or being written.
    int PeakRowsBuffered() const;

private:
    struct CRow {
        std::vector<uint8_t> bgr;
        std::vector<uint8_t> alpha;
        bool hasCoverage = false;
        bool complete = false;
    };

    void WaitForRoom(std::unique_lock<std::mutex>& lock, int y);
    CRow& HeldRow(int y);
    bool Takes(int y) const;
    void WriteReadyRows(std::unique_lock<std::mutex>& lock);
    bool WriteRow(const CRow& row);
    void Release(CRow&& row);
    void Fail(int reason);

    const int m_width;
    const int m_height;
    const bool m_alpha;
    CRow m_blank;  // a row never delivered
    // Used by one thread at a time: the one that set m_writing. Null when it never opened.
    std::unique_ptr<CPictureRowWriter> m_writer;

    mutable std::mutex m_lock;           // guards everything below
    std::map<int, CRow> m_held;          // rows delivered (or with coverage) not yet written
    std::vector<CRow> m_spare;           // buffers of rows written, for reuse
    std::condition_variable m_rowsDone;  // rows were written, or nothing more will be
    CInterrupt* m_interrupt = nullptr;
    int m_rowsAhead = 1;
    int m_nextRow = 0;  // the first row not yet taken for writing
    int m_rowsWritten = 0;
    bool m_writing = false;  // a thread is writing rows outside the lock
    bool m_finished = false;
    int m_error = 0;
    int m_buffered = 0;  // rows held, including those being written
    int m_peakBuffered = 0;
    std::atomic<int64_t> m_rowsDelivered{0};
};

}  // namespace orva
