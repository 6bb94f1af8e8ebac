#include "image/bmp_image.h"

#include <cstdlib>

namespace orva {

void ReleaseBmpImage(BmpImage& image) {
    // The readers allocate with calloc: a zeroed block is the starting point for every
    // byte that the file does not supply.
    std::free(image.pixels);
    image = BmpImage{};
}

}  // namespace orva
