#include "cli/option_checks.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace orva {

namespace {

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// The edits (insertions, deletions, changes of one letter) from one word to the other.
size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

}  // namespace

CLI::Validator Within(double lowest, double highest) {
    const std::string range = Number(lowest) + " to " + Number(highest);
    return CLI::Validator(
        [=](std::string& text) -> std::string {
            char* end = nullptr;
            const double value = std::strtod(text.c_str(), &end);
            if (end == text.c_str() || *end != '\0' || !(value >= lowest && value <= highest)) {
                return "must be " + range + " (got " + text + ")";
            }
            return {};
        },
        Number(lowest) + ".." + Number(highest));
}

CLI::Validator OneOf(const std::vector<std::string>& choices) {
    std::string list;
    for (const std::string& c : choices) {
        list += (list.empty() ? "" : ", ") + c;
    }
    return CLI::Validator(
        [=](std::string& text) -> std::string {
            if (std::find(choices.begin(), choices.end(), text) == choices.end()) {
                return "must be one of " + list + " (got " + text + ")";
            }
            return {};
        },
        "{" + list + "}");
}

std::string OneLineError(const CLI::Error& error, const std::string& command) {
    std::string text = error.what();
    // The parser names the option and a colon before what our checks say: "--aa: must be ...".
    if (const size_t colon = text.find(": must be "); colon != std::string::npos) {
        text.erase(colon, 1);
    }
    std::replace(text.begin(), text.end(), '\n', ' ');
    // The parser's sentences start in capitals; ours go on after "orva: render: " in lower case.
    if (text.size() > 1 && std::isupper(static_cast<unsigned char>(text[0])) &&
        std::islower(static_cast<unsigned char>(text[1]))) {
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    }
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    return "orva: " + (command.empty() ? "" : command + ": ") + text;
}

std::string UnknownCommand(const std::string& typed, const std::vector<std::string>& commands) {
    std::string nearest;
    size_t best = 3;  // at most two edits away
    std::string all;
    for (const std::string& c : commands) {
        const size_t distance = EditDistance(typed, c);
        if (distance < best) {
            best = distance;
            nearest = c;
        }
        all += (all.empty() ? "" : ", ") + c;
    }
    return "unknown command '" + typed + "'; " +
           (nearest.empty() ? "the commands are " + all : "did you mean '" + nearest + "'?");
}

}  // namespace orva
