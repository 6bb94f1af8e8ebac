#pragma once

namespace orva {

// The address the web-site command opens.
inline constexpr char kWebSiteAddress[] = "https://orvatrix.example.com/";

// Opens the web site in the user's browser without waiting; a failure is ignored, as the
// command has never reported one.
void OpenWebSite();

}  // namespace orva
