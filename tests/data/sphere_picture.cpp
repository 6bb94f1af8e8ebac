#include "sphere_picture.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>

#include "image/picture_writer.h"
#include "mesh_shapes.h"
#include "scene/name_pool.h"
#include "scene/object_list.h"
#include "scene/scene_file.h"

namespace orva::test {

namespace {

// Fine enough that neighbouring faces stay within the smoothing angle and the silhouette
// shows no facets at this size.
constexpr int kAround = 96;
constexpr int kAcross = 48;
// At zoom 2 the picture is 25 model units high, so a sphere of radius 10 fills 0.8 of it.
constexpr float kRadius = 10.0f;
constexpr float kZoom = 2.0f;
// Looks along +y with z up, so the backdrop at y = 30 stands behind the sphere.
constexpr int kView = 1;

double Luminance(double r, double g, double b) {
    return 0.299 * r + 0.587 * g + 0.114 * b;
}

struct CDisk {
    double centreX = 0.0;
    double centreY = 0.0;
    double radius = 0.0;
};

CDisk CoveredDisk(const CImageSurface& picture) {
    int x0 = std::numeric_limits<int>::max(), x1 = -1;
    int y0 = std::numeric_limits<int>::max(), y1 = -1;
    for (int y = 0; y < picture.Height(); ++y) {
        for (int x = 0; x < picture.Width(); ++x) {
            if (picture.Pixel(x, y) != kBackground) {
                x0 = std::min(x0, x), x1 = std::max(x1, x);
                y0 = std::min(y0, y), y1 = std::max(y1, y);
            }
        }
    }
    if (x1 < 0) {
        return {};
    }
    return {0.5 * (x0 + x1), 0.5 * (y0 + y1), 0.25 * (x1 - x0 + y1 - y0 + 2)};
}

// A wall behind the sphere (view 1 looks along +y) filling the picture, in the default
// material. It is tilted so that its face misses the highlight and shows a mid grey, far from
// the light background.
std::unique_ptr<CPolyMesh> Backdrop() {
    auto wall = MakeBoxMesh({-60.0f, -2.0f, -60.0f}, {60.0f, 2.0f, 60.0f});
    const float c = std::cos(0.5f), s = std::sin(0.5f);
    for (CVector3& p : wall->points) {
        p = {p.x, 30.0f + c * p.y - s * p.z, s * p.y + c * p.z};
    }
    return wall;
}

}  // namespace

std::unique_ptr<CImageSurface> RenderSphere(const std::string& material, int size, bool backdrop) {
    CSceneAnchor scene;
    auto sphere = MakeSphereMesh({0.0f, 0.0f, 0.0f}, kRadius, kAround, kAcross);
    sphere->materialName = NamePool().RegisterName(material);
    if (backdrop) {
        sphere->next = Backdrop().release();
    }
    scene.Adopt(sphere.release());

    auto surface = std::make_unique<CImageSurface>(size, size, kBackground);
    RenderStandardView(scene, kView, kZoom, *surface);
    return surface;
}

double CSphereShading::InnerFractionBelow(double level) const {
    const auto n = std::count_if(innerLuminances.begin(), innerLuminances.end(),
                                 [level](double l) { return l < level; });
    return innerLuminances.empty() ? 0.0 : double(n) / double(innerLuminances.size());
}

double CSphereShading::FractionAbove(double level) const {
    const auto n = std::count_if(luminances.begin(), luminances.end(),
                                 [level](double l) { return l > level; });
    return luminances.empty() ? 0.0 : double(n) / double(luminances.size());
}

CSphereShading MeasureSphere(const CImageSurface& picture) {
    const CDisk disk = CoveredDisk(picture);
    CSphereShading s;
    double upperSum = 0.0, lowerSum = 0.0;
    int upper = 0, lower = 0;
    for (int y = 0; y < picture.Height(); ++y) {
        for (int x = 0; x < picture.Width(); ++x) {
            const uint32_t p = picture.Pixel(x, y);
            if (p == kBackground) {
                continue;
            }
            const double r = (p & 0xFF) / 255.0;
            const double g = ((p >> 8) & 0xFF) / 255.0;
            const double b = ((p >> 16) & 0xFF) / 255.0;
            const double l = Luminance(r, g, b);
            s.meanRed += r, s.meanGreen += g, s.meanBlue += b;
            s.luminances.push_back(l);
            const double dx = x - disk.centreX, dy = y - disk.centreY;
            if (std::hypot(dx, dy) < 0.8 * disk.radius) {
                s.innerLuminances.push_back(l);
            }
            (dy < 0.0 ? upperSum : lowerSum) += l;  // rows grow downwards
            ++(dy < 0.0 ? upper : lower);
        }
    }
    s.covered = static_cast<int>(s.luminances.size());
    if (s.covered == 0) {
        return s;
    }
    const double n = s.covered;
    s.meanRed /= n, s.meanGreen /= n, s.meanBlue /= n;
    double sum = 0.0, sumSquares = 0.0;
    for (double l : s.luminances) {
        sum += l, sumSquares += l * l;
    }
    s.meanLuminance = sum / n;
    s.luminanceDeviation =
        std::sqrt(std::max(0.0, sumSquares / n - s.meanLuminance * s.meanLuminance));
    s.upperLuminance = upper > 0 ? upperSum / upper : 0.0;
    s.lowerLuminance = lower > 0 ? lowerSum / lower : 0.0;
    return s;
}

void KeepPicture(const std::string& name, const CImageSurface& picture) {
    std::filesystem::create_directories(ORVA_RENDER_OUT);
    const CPictureView view{picture.Width(), picture.Height(), int64_t{picture.Width()} * 3,
                            picture.Pixels().data()};
    WritePngFile(std::string(ORVA_RENDER_OUT) + "/" + name + ".png", view);
}

}  // namespace orva::test
