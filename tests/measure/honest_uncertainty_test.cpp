#include "measure/solid_volume.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <string>

#include "render/test_shapes.h"
#include "scene/scene_file.h"

namespace orva {
namespace {

// A scene whose exact volume is known: disjoint boxes, some of them thin wires.
struct CKnownScene {
    CSceneAnchor anchor;
    CSceneObject** tail = &anchor.first;
    double exact = 0.0;
    std::string what;

    CKnownScene() = default;
    CKnownScene(const CKnownScene&) = delete;
    ~CKnownScene() { ClearScene(anchor); }

    // A box of the given size with its lower corner at `at`, turned about model z by `turn`.
    void AddBox(CVector3 at, CVector3 size, double turn = 0.0) {
        auto box = test::Box({0, 0, 0}, size);
        const auto c = static_cast<float>(std::cos(turn));
        const auto s = static_cast<float>(std::sin(turn));
        for (CVector3& p : box->points) {
            p = CVector3(p.x * c - p.y * s, p.x * s + p.y * c, p.z) + at;
        }
        *tail = box.release();
        tail = &(*tail)->next;
        exact += static_cast<double>(size.x) * size.y * size.z;
    }
};

// Boxes at one pitch in three directions, a pitch the grid may be in step with.
void AddLattice(CKnownScene& scene, std::mt19937& random) {
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::uniform_int_distribution<int> count(1, 8);
    const float side = 0.3f + 1.7f * unit(random);
    const float pitch = side + 0.2f + 2.0f * unit(random);
    const int n[3] = {count(random), count(random), count(random) / 2 + 1};
    for (int i = 0; i < n[0]; ++i) {
        for (int j = 0; j < n[1]; ++j) {
            for (int k = 0; k < n[2]; ++k) {
                scene.AddBox(CVector3(i * pitch, j * pitch, k * pitch), {side, side, side});
            }
        }
    }
    scene.what = std::to_string(n[0] * n[1] * n[2]) + " boxes of " + std::to_string(side) +
                 " mm at " + std::to_string(pitch);
}

// Wires a few hundredths of a millimetre thick standing on a bar, turned every way about
// their length: most of their metal is thinner than a coarse grid's cells.
void AddWires(CKnownScene& scene, std::mt19937& random) {
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    const int wires = 5 + static_cast<int>(36 * unit(random));
    const float width = 0.03f + 0.1f * unit(random);
    const float length = 2.0f + 4.0f * unit(random);
    scene.AddBox({-1, -1, -1}, {static_cast<float>(wires) * 0.5f + 1.0f, 2.0f, 1.0f});
    for (int i = 0; i < wires; ++i) {
        scene.AddBox(CVector3(static_cast<float>(i) * 0.5f, 0, 0), {width, width, length},
                     6.28 * unit(random));
    }
    scene.what = std::to_string(wires) + " wires of " + std::to_string(width) + " mm";
}

// Whatever the grid and the piece, the volume stated lies within its stated uncertainty of
// the exact one: pieces that every direction gets wrong alike (boxes in step with the grid,
// wires thinner than its cells) included.
TEST(HonestUncertaintyTest, TheStatedUncertaintyHoldsTheExactVolume) {
    std::mt19937 random(20261209);
    const double accuracies[] = {0.02, 0.1, 0.5, 1.0, 5.0};
#ifdef ORVA_SANITIZED
    // The finest grid only adds time there: every path is taken at the coarser ones.
    constexpr int kTrials = 8;
    constexpr int kFirstAccuracy = 1;
#else
    constexpr int kTrials = 20;
    constexpr int kFirstAccuracy = 0;
#endif
    for (int trial = 0; trial < kTrials; ++trial) {
        CKnownScene scene;
        (trial % 2 == 0 ? AddLattice : AddWires)(scene, random);
        const double accuracy = accuracies[kFirstAccuracy + trial % (5 - kFirstAccuracy)];
        CVolumeRequest request;
        request.first = scene.anchor.first;
        request.accuracyPercent = accuracy;
        request.threads = 2;
        const CSolidVolume s = MeasureSolidVolume(request);
        EXPECT_LE(std::fabs(s.volume - scene.exact), s.uncertaintyPercent / 100.0 * scene.exact)
            << scene.what << " at " << accuracy << " %: " << s.volume << " +/- "
            << s.uncertaintyPercent << " %, exact " << scene.exact;
    }
}

}  // namespace
}  // namespace orva
