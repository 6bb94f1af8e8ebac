#pragma once

namespace orva {

// The commands the user can give, by the ids their controls carry.
enum ECommandId : int {
    kCommandOpenFile = 1002,
    kCommandWebSite = 1200,
    kCommandViewWireframe = 3101,
    kCommandViewRendering = 3105,
    kCommandViewZoomAll = 3413,
    kCommandViewReset = 3440,
    kCommandNewDocument = 57600,
};

// Caption of every message box.
inline constexpr char kApplicationName[] = "Orvatrix Viewer 5.0";
// The main window's caption before " - " and the document title.
inline constexpr char kWindowTitle[] = "Orvatrix Viewer";
// The document title before a file is opened.
inline constexpr char kUntitled[] = "Untitled";
// What the status bar shows when no other message is shown.
inline constexpr char kIdleStatusText[] =
    "Mouse Button : Left = Rotate; Ctrl+Left = Pan; Right or Mouse Wheel = Zoom; Ctrl+Right or "
    "Mouse Wheel = Roll";

}  // namespace orva
