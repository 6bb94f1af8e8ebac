#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "image/picture_writer.h"
#include "picture/row_stream_surface.h"
#include "render/render_scene.h"

namespace orva {

class CInterrupt;

// What becomes of a picture whose render was interrupted.
enum class EInterruptedPicture {
    kNoFile,  // nothing is written
    // The rows drawn are written and the others in the background; no row drawn: no file.
    kKeepRowsDrawn,
};

// A picture rendered straight into its file.
struct CStreamedPicture {
    std::string path;  // .png or .jpg/.jpeg (see StreamsPicture)
    int width = 0;
    int height = 0;
    bool transparent = false;  // the rows carry coverage, kept as alpha: PNG only
    uint32_t background = 0;   // 0xRRGGBB of the rows never drawn
    int jpegQuality = kDefaultJpegQuality;
    EInterruptedPicture interrupted = EInterruptedPicture::kNoFile;
};

struct CStreamedPictureResult {
    CRenderStats stats;
    bool written = false;  // the file is complete under its name
    int error = 0;         // errno's reason when the file could not be written, else 0
};

// Whether a picture of this name is written row by row: PNG and JPEG are, BMP is not, as its
// rows run bottom-up.
bool StreamsPicture(const std::string& path);

// Lets `render` draw the picture into a surface that writes each row to the file once the
// rows above it are written, so at most a part of the picture is ever in memory. `render`
// returns once every row it delivers is delivered; render threads that run ahead of the file
// wait for it, and go on once `interrupt` (when given) is asked for. A file that cannot be
// started returns at once with its error, without calling `render`. The file takes its name
// only once complete: an interrupted render (stats.interrupted) leaves it as
// `picture.interrupted` says, and a failed one leaves nothing.
CStreamedPictureResult RenderStreamedPicture(
    const CStreamedPicture& picture, const std::function<CRenderStats(CRowStreamSurface&)>& render,
    CInterrupt* interrupt);

}  // namespace orva
