#pragma once

#include <string>
#include <vector>

#include "scene/object_drawer.h"

namespace orva::test {

// Records what objects hand to the display, with the model matrix current at the time.
class CRecordingDrawer : public CObjectDrawer {
public:
    void DrawCurve(const CCurve&, EDisplayMode mode) override { Record("curve", mode); }
    void DrawSurface(const CSurface&, EDisplayMode mode) override { Record("surface", mode); }
    void DrawPolyMesh(const CPolyMesh&, EDisplayMode mode) override { Record("mesh", mode); }
    CMatrix4 GetModelViewMatrix() override { return model; }
    void MultMatrix(const CMatrix4& m) override { model = Multiply(m, model); }
    void LoadMatrix(const CMatrix4& m) override { model = m; }

    std::vector<std::string> calls;
    std::vector<CMatrix4> matrices;
    CMatrix4 model;

private:
    void Record(const char* what, EDisplayMode mode) {
        calls.push_back(std::string(what) + " " + std::to_string(mode));
        matrices.push_back(model);
    }
};

}  // namespace orva::test
