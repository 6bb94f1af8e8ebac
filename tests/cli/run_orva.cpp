#include "run_orva.h"

#include <sys/wait.h>

#include <array>
#include <cstdio>

namespace orva::test {

CRun RunOrva(const std::string& arguments, EStream captured) {
    CRun run;
    const char* redirect = captured == EStream::kStdout   ? " 2>/dev/null"
                           : captured == EStream::kStderr ? " 2>&1 >/dev/null"
                                                          : " 2>&1";
    const std::string command = std::string(ORVA_PROGRAM) + " " + arguments + redirect;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    std::array<char, 4096> chunk;
    size_t got;
    while ((got = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0) {
        run.output.append(chunk.data(), got);
    }
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

}  // namespace orva::test
