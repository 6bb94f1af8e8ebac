#pragma once

#include <CLI/CLI.hpp>

#include <string>
#include <vector>

namespace orva {

// The command line's checks, each saying what is wrong in the words every error of orva uses:
// "must be 1 to 4 (got 99)".
CLI::Validator Within(double lowest, double highest);
CLI::Validator OneOf(const std::vector<std::string>& choices);

// A parse error of `command` (empty: of orva itself) as one line, "orva: render: --aa must be
// 1 to 4 (got 99)", however many lines the parser's own text has.
std::string OneLineError(const CLI::Error& error, const std::string& command);

// "unknown command 'rendr'; did you mean 'render'?", or the commands there are when none is
// near what was typed.
std::string UnknownCommand(const std::string& typed, const std::vector<std::string>& commands);

}  // namespace orva
