#pragma once

namespace orva {

// Shows the core's messages in message boxes captioned with the program's name (or the
// message's own caption), as a desktop program does.
void InstallMessageBoxes();

}  // namespace orva
