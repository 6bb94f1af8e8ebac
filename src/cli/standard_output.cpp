#include "cli/standard_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace orva {

bool WriteResult(const std::string& text) {
    errno = 0;
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    if (written && std::fflush(stdout) == 0 && std::ferror(stdout) == 0) {
        return true;
    }
    const int reason = errno != 0 ? errno : EIO;
    std::fprintf(stderr, "orva: cannot write to standard output: %s\n", std::strerror(reason));
    return false;
}

std::string JsonResult(const nlohmann::ordered_json& document, bool oneLine) {
    return document.dump(oneLine ? -1 : 2, ' ', false,
                         nlohmann::ordered_json::error_handler_t::replace) +
           "\n";
}

}  // namespace orva
