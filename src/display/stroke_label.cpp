#include "display/stroke_label.h"

#include <cmath>
#include <cstdio>

#include "display/polyline.h"
#include "geometry/matrix4.h"
#include "view/frame_context.h"

namespace orva {

namespace {

// Vertices in whole pixels relative to the pen, y negative upward.
struct CStrokeVertex {
    int dx;
    int dy;
};

struct CStroke {
    bool closed;
    std::vector<CStrokeVertex> vertices;
};

struct CGlyph {
    char character;
    int advance;
    std::vector<CStroke> strokes;
};

const std::vector<CGlyph>& Glyphs() {
    static const std::vector<CGlyph> glyphs = {
        {'.', 7, {{true, {{3, 0}, {5, 0}, {5, -2}, {3, -2}}}}},
        {'0', 9, {{true, {{1, 0}, {7, 0}, {7, -10}, {1, -10}}}}},
        {'1', 9, {{false, {{7, 0}, {7, -11}}}}},
        {'2', 9, {{false, {{7, 0}, {1, 0}, {1, -5}, {7, -5}, {7, -10}, {0, -10}}}}},
        {'3', 9, {{false, {{1, 0}, {7, 0}, {7, -10}, {0, -10}}}, {false, {{1, -5}, {7, -5}}}}},
        {'4', 9, {{false, {{7, 0}, {7, -11}}}, {false, {{1, -10}, {1, -5}, {7, -5}}}}},
        {'5', 9, {{false, {{1, 0}, {7, 0}, {7, -5}, {1, -5}, {1, -10}, {8, -10}}}}},
        {'6', 9, {{false, {{7, -10}, {1, -10}, {1, 0}, {7, 0}, {7, -5}, {1, -5}}}}},
        {'7', 9, {{false, {{7, 0}, {7, -10}, {0, -10}}}}},
        {'8', 9, {{true, {{1, 0}, {7, 0}, {7, -10}, {1, -10}}}, {false, {{1, -5}, {7, -5}}}}},
        {'9', 9, {{false, {{1, 0}, {7, 0}, {7, -10}, {1, -10}, {1, -5}, {7, -5}}}}},
    };
    return glyphs;
}

const CGlyph* FindGlyph(char c) {
    for (const CGlyph& glyph : Glyphs()) {
        if (glyph.character == c) {
            return &glyph;
        }
    }
    return nullptr;
}

int NearestPixel(float v) {
    return static_cast<int>(std::floor(v + 0.5f));
}

}  // namespace

void DrawLabel(CFrameContext& frame, const CVector3& point, const std::string& text) {
    const CVector3 anchor = TransformPoint(point, frame.WindowMatrix());
    int penX = NearestPixel(anchor.x);
    const int baseY = NearestPixel(anchor.y);
    const CMatrix4 toModel = frame.WindowMatrixInverse();
    for (const char c : text) {
        const CGlyph* glyph = FindGlyph(c);
        if (glyph == nullptr) {
            continue;
        }
        for (const CStroke& stroke : glyph->strokes) {
            BeginPolyline(frame, stroke.closed ? kPolylineClosed : kPolylineOpen);
            for (const CStrokeVertex& v : stroke.vertices) {
                AddVertex(frame, WindowPixelToModel(penX + v.dx, baseY + v.dy, toModel));
            }
            EndPolyline(frame);
        }
        penX += glyph->advance;
    }
}

std::vector<CPointLabel> ControlPointLabels(std::span<const CVector3> points) {
    std::vector<CPointLabel> labels;
    const int n = static_cast<int>(points.size());
    char text[32];
    for (int j = 0; j < n;) {
        int i = j + 1;
        while (i < n && IsEqual(points[i], points[j])) {
            ++i;
        }
        if (i == j + 1) {
            std::snprintf(text, sizeof text, "%d", j);
        } else if (i == j + 2) {
            std::snprintf(text, sizeof text, "%d.%d", j, j + 1);
        } else {
            std::snprintf(text, sizeof text, "%d..%d", j, i - 1);
        }
        labels.push_back({j, text});
        j = i;
    }
    return labels;
}

}  // namespace orva
