#include "picture/streamed_picture.h"

#include <cerrno>

namespace orva {

bool StreamsPicture(const std::string& path) {
    const std::optional<EPictureFormat> format = PictureFormatOf(path);
    return format == EPictureFormat::kPng || format == EPictureFormat::kJpeg;
}

CStreamedPictureResult RenderStreamedPicture(
    const CStreamedPicture& picture, const std::function<CRenderStats(CRowStreamSurface&)>& render,
    CInterrupt* interrupt) {
    CStreamedPictureResult result;
    const std::optional<EPictureFormat> format = PictureFormatOf(picture.path);
    CRowStreamSurface surface(picture.path, format.value_or(EPictureFormat::kBmp), picture.width,
                              picture.height, picture.transparent, picture.background,
                              picture.jpegQuality);
    if (!surface.Good()) {
        result.error = surface.Error();
        return result;
    }
    surface.SetInterrupt(interrupt);
    result.stats = render(surface);
    if (result.stats.interrupted &&
        (picture.interrupted == EInterruptedPicture::kNoFile || result.stats.rowsDelivered == 0)) {
        return result;  // the surface goes without Finish: no file
    }
    result.written = surface.Finish();
    result.error = result.written ? 0 : errno;
    return result;
}

}  // namespace orva
