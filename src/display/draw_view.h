#pragma once

namespace orva {

// Draws the current camera's picture: hands modes 300 and 400 to the software renderer, or
// makes the view's OpenGL context current, draws the wireframe or shaded frame, and releases
// the context. The camera's Redraw calls it once the viewport is applied.
void DrawView();

// The shaded pass: every visible object on screen lit and depth-tested, curves as unlit lines.
void DrawShadedPass();

// Makes DrawView the painter of every camera's Redraw.
void InstallDisplay();

}  // namespace orva
