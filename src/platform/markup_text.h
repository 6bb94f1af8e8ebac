#pragma once

#include <string>

namespace orva {

// Text from a scene file's bytes made safe inside XML or HTML, in content and in quoted
// attributes: &, <, > and " escaped, control characters but the tab left out.
std::string MarkupText(const std::string& text);

}  // namespace orva
