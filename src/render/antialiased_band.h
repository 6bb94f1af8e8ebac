#pragma once

#include "render/render_context.h"

namespace orva {

class CDrawSurface;
struct CRenderRequest;

// The request as if its picture were `n` times larger: viewport and repaint scaled, and the
// window matrix mapping each pixel's n x n sub-square centres onto whole pixels of the larger
// picture. Averaging its n x n blocks is the reference of an anti-aliased picture.
CRenderRequest SupersampledRequest(const CRenderRequest& request, int n);

// Renders the rows of `band` (whole pixels of `request`, which asks for anti-aliasing) into
// the surface. A first pass shades one sample per pixel and notes which surfaces it sees; a
// pixel whose neighbourhood shows different surfaces or a strong change of colour is then
// sampled n x n times on `supersampled` (SupersampledRequest of the request) and averaged.
// The neighbourhood reaches one pixel beyond the band within the viewport, so the picture
// does not depend on how it is split into bands. Returns the rows delivered; fewer than the
// band's when the interrupt came.
int RenderAntialiasedBand(CRenderContext& ctx, const CRenderRequest& request,
                          const CRenderRequest& supersampled, const CRenderRect& band);

}  // namespace orva
