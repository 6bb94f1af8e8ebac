#include "display/draw_view.h"

#include <GL/gl.h>

#include "display/display_drawer.h"
#include "display/fixed_function_backend.h"
#include "display/frame_plan.h"
#include "display/gl_frame_state.h"
#include "display/shaded_object.h"
#include "display/tessellation_cache.h"
#include "platform/gl_context.h"
#include "platform/interrupt.h"
#include "platform/message_box.h"
#include "render/render_scene.h"
#include "scene/scene_file.h"
#include "scene/scene_object.h"
#include "view/display_colours.h"
#include "view/frame_context.h"
#include "view/on_screen.h"
#include "view/view_camera.h"

namespace orva {

namespace {

template <typename Visit>
void ForEachSceneObject(const CFrameContext& frame, Visit visit) {
    const CSceneRange range = frame.Scene();
    for (const CSceneObject* o = range.first; o != nullptr && o != range.stop; o = o->next) {
        visit(*o);
    }
}

// The texts users have always been shown when no OpenGL context could be had.
void ReportContextFailure(EContextStatus status) {
    ShowMessage(status == EContextStatus::kPixelFormatRefused ? "SetPixelFormat failed"
                                                              : "ChoosePixelFormat failed",
                "Error");
}

void ClearFrame() {
    const uint32_t background = g_colourTable[0];
    glClearColor((background & 0xff) / 255.0f, ((background >> 8) & 0xff) / 255.0f,
                 ((background >> 16) & 0xff) / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// Modes below 100: every visible object draws itself in the mode. Objects off screen are left
// out, except in the fast wireframe, which hands every object its reduced drawing.
void DrawWireframePass(CFrameContext& frame, CTessellationCache& cache, EDisplayMode mode) {
    CDisplayDrawer drawer(frame, cache);
    ForEachSceneObject(frame, [&](const CSceneObject& o) {
        if (!o.IsShown() || (mode != kModeFastWireframe && !IsOnScreen(frame, o))) {
            return;
        }
        frame.SetObjectColour(o.displayState, o.colourIndex);
        o.Draw(drawer, mode);
    });
}

// The fixed state, the camera's view, and a cleared picture in the buffer the frame draws to.
void StartFrame(CFrameContext& frame, CGLContext& context, bool interactive) {
    InitGLState(context);
    SetupHeadlight();
    frame.Camera().ApplyView(frame);
    if (interactive) {
        context.SelectDrawBuffer(EDrawBuffer::kBack);
    }
    ClearFrame();
}

void DrawPass(CFrameContext& frame, CTessellationCache& cache, EDisplayMode mode) {
    if (mode == kModeShaded) {
        glEnable(GL_LIGHTING);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_GEQUAL);
        DrawShadedPass(frame, cache);
    } else {
        DrawWireframePass(frame, cache, mode);
    }
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDepthFunc(GL_ALWAYS);
}

// An interactive frame was drawn out of sight and is shown whole now.
void FinishFrame(CGLContext& context, bool interactive) {
    if (interactive) {
        context.Present();
        context.SelectDrawBuffer(EDrawBuffer::kFront);
    }
    glFinish();
    context.Release();
}

void DrawOpenGLFrame(CFrameContext& frame, CGLContext* context, CTessellationCache& cache,
                     EDisplayMode mode, bool interactive) {
    const EContextStatus status =
        context != nullptr ? context->BeginFrame() : EContextStatus::kNoPixelFormat;
    if (status != EContextStatus::kCurrent) {
        // Without a context no OpenGL call may be made: the frame is given up.
        ReportContextFailure(status);
        return;
    }
    CFixedFunctionBackend backend;
    frame.BeginGL(backend);
    StartFrame(frame, *context, interactive);
    DrawPass(frame, cache, mode);
    FinishFrame(*context, interactive);
    frame.EndGL();
}

}  // namespace

void DrawView(CFrameContext& frame, CGLContext* context, CTessellationCache& cache,
              CTessellationStore* pictures) {
    const CViewCamera& camera = frame.Camera();
    const CViewport& viewport = camera.CurrentViewport();
    if (viewport.repaintSet && viewport.RepaintEmpty()) {
        return;
    }
    const bool interactive = frame.Interrupt().Poll() || frame.interactive;
    const CFramePlan plan = PlanFrame(camera.displayMode, interactive);
    switch (plan.path) {
        case EFramePath::kSoftwareVertexColours:
            RenderScene(frame, EShading::kVertexColours, pictures);
            break;
        case EFramePath::kSoftwarePerPixel:
            RenderScene(frame, EShading::kPerPixel, pictures);
            break;
        case EFramePath::kOpenGL:
            DrawOpenGLFrame(frame, context, cache, plan.mode, interactive);
            break;
        case EFramePath::kNothing:
            break;
    }
}

void DrawShadedPass(CFrameContext& frame, CTessellationCache& cache) {
    CDisplayDrawer drawer(frame, cache);
    ForEachSceneObject(frame, [&](const CSceneObject& o) {
        if (!o.IsShown() || !IsOnScreen(frame, o)) {
            return;
        }
        const int32_t type = o.GetTypeId();
        if (type == kTypeCurve || type == kTypeRefPlane) {
            glDisable(GL_LIGHTING);
            frame.SetObjectColour(o.displayState, o.colourIndex);
            o.Draw(drawer, kModeShaded);
        } else {
            glEnable(GL_LIGHTING);
            frame.SetObjectColour(o.displayState, o.colourIndex);
            DrawShadedObject(frame, cache, o);
        }
    });
    cache.EndFrame();
}

}  // namespace orva
