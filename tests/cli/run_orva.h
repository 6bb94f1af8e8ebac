#pragma once

#include <string>

namespace orva::test {

struct CRun {
    int exitCode = -1;
    std::string output;  // the stream asked for
};

enum class EStream { kStdout, kStderr, kBoth };

// Runs the orva program with the arguments (shell words) and captures one of its streams (the
// other is dropped) or both together.
CRun RunOrva(const std::string& arguments, EStream captured = EStream::kStdout);

}  // namespace orva::test
