#pragma once

#include <string>

namespace orva {

// Writes a command's result to standard output and flushes it. Results that never reach their
// reader (a full disk, a closed pipe) are a failure: one line on standard error and false.
bool WriteResult(const std::string& text);

}  // namespace orva
