#pragma once

#include <string>

namespace orva {
class CImageSurface;
}

namespace orva::test {

// Compares a rendered picture with tests/render/golden/NAME.png. A channel may differ by up to
// 2 anywhere (rounding of the shading), and up to 0.1 % of the pixels may differ by more
// (pixels on a silhouette can fall either way). A missing golden picture is written to the
// build folder's golden_out/ and the check fails; a failing check leaves the actual picture
// and a mask of the differing pixels there. Copy an accepted picture into tests/render/golden.
void ExpectMatchesGolden(const std::string& name, const CImageSurface& picture);

}  // namespace orva::test
