#pragma once

#include "view/frame_context.h"

namespace orva {

// The OpenGL side of a frame's viewport, matrix and colour operations: fixed-function
// OpenGL 1.1 calls on the current context. Given to the frame for the length of a frame.
class CFixedFunctionBackend final : public CGLBackend {
public:
    void Viewport(int x, int y, int width, int height) override;
    void Scissor(int x, int y, int width, int height) override;
    void Projection(double sx, double sy, double sz) override;
    void LoadMatrix(const CMatrix4& m) override;
    void MultMatrix(const CMatrix4& m) override;
    void Colour(uint32_t rgb) override;
};

}  // namespace orva
