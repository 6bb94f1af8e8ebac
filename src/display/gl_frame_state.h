#pragma once

namespace orva {

class CGLContext;

// The fixed-function state every frame starts from: light 0 on, scissor on, depth cleared to 0
// (the display keeps the larger depth, which is the nearer surface), normals renormalised after
// scaling placements, vertex and normal arrays on, lighting and depth test off until the shaded
// pass, drawing into the front buffer.
void InitGLState(CGLContext& context);

// Light 0 as a headlight: a directional light along the line of sight from the viewer's side,
// fixed to the camera. Its colours and the light model stay at the OpenGL defaults.
void SetupHeadlight();

}  // namespace orva
