#include "display/gl_frame_state.h"

#include <GL/gl.h>

#include "platform/gl_context.h"

namespace orva {

void InitGLState(CGLContext& context) {
    glEnable(GL_LIGHT0);
    glEnable(GL_SCISSOR_TEST);
    glClearDepth(0.0);
    glEnable(GL_NORMALIZE);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDepthFunc(GL_ALWAYS);
    context.SelectDrawBuffer(EDrawBuffer::kFront);
}

void SetupHeadlight() {
    glPushMatrix();
    glLoadIdentity();
    const GLfloat position[4] = {0.0f, 0.0f, 1.0f, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glPopMatrix();
}

}  // namespace orva
