#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace orva {

// Writes a command's result to standard output and flushes it. Results that never reach their
// reader (a full disk, a closed pipe) are a failure: one line on standard error and false.
bool WriteResult(const std::string& text);

// A JSON result as printed: indented for a scene alone, on one line each when several scenes
// print one document after another, so a reader takes them line by line. Names are whatever
// bytes a file holds: invalid UTF-8 is replaced, never thrown over.
std::string JsonResult(const nlohmann::ordered_json& document, bool oneLine);

}  // namespace orva
