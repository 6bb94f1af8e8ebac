#pragma once

namespace orva {

// The display draws with fixed-function OpenGL, which only a compatibility profile offers.
// Call before the application object exists: Qt reads the default format when it starts.
void RequestCompatibilityOpenGL();

}  // namespace orva
