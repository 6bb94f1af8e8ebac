#pragma once

namespace orva {

class CGLContext;

// The OpenGL context of the view being painted: what the display draws its frame with, as the
// current drawing surface is what the software renderer writes to. None at start. Returns the
// one it replaces.
CGLContext* SetViewContext(CGLContext* context);
CGLContext* ViewContext();

}  // namespace orva
