#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <memory>
#include <vector>

#include "platform/interrupt.h"
#include "render/csg/csg_plan.h"
#include "render/csg/tree_walk.h"
#include "render/render_context.h"
#include "render/render_scene.h"
#include "render/render_tree.h"
#include "render/row_loop.h"
#include "scene/gem.h"
#include "scene/gem_library.h"
#include "scene/object_list.h"
#include "scene/scene_file.h"
#include "scene_writer.h"
#include "test_shapes.h"
#include "view/draw_surface.h"
#include "view/frame_context.h"
#include "view/view_camera.h"

namespace orva {
namespace {

using test::Box;
using test::Group;
using test::Tube;

// Pixels rendering never writes: whatever shows it was not rendered.
constexpr uint32_t kUnrendered = 0x123456;
constexpr uint32_t kBackground = 0xE4E4E4;

// Standard view 1 looks along +y with x to the right and z up; at 500 x 500 pixels and zoom 1
// one model unit is 10 pixels and the origin sits at window point (249.5, 249.5). A pixel is
// sampled at its centre, the window point (column, row).
int Column(float x) {
    return static_cast<int>(std::ceil(x * 10.0f + 249.5f));
}
int Row(float z) {
    return static_cast<int>(std::ceil(-z * 10.0f + 249.5f));
}

struct CPixelBox {
    int x0 = std::numeric_limits<int>::max();
    int x1 = std::numeric_limits<int>::min();
    int y0 = std::numeric_limits<int>::max();
    int y1 = std::numeric_limits<int>::min();
    int count = 0;
};

// The pixels that are neither background nor unrendered.
CPixelBox Covered(const CImageSurface& s) {
    CPixelBox b;
    for (int y = 0; y < s.Height(); ++y) {
        for (int x = 0; x < s.Width(); ++x) {
            const uint32_t p = s.Pixel(x, y);
            if (p != kBackground && p != kUnrendered) {
                b.x0 = std::min(b.x0, x), b.x1 = std::max(b.x1, x);
                b.y0 = std::min(b.y0, y), b.y1 = std::max(b.y1, y);
                ++b.count;
            }
        }
    }
    return b;
}

class RenderSceneTest : public ::testing::Test {
protected:
    void TearDown() override { ClearScene(); }

    CSceneObject* Add(std::unique_ptr<CSceneObject> object) {
        CSceneObject** tail = &m_scene.first;
        while (*tail != nullptr) {
            tail = &(*tail)->next;
        }
        *tail = object.release();
        return *tail;
    }
    void ClearScene() { m_scene.Clear(); }

    struct COptions {
        int width = 500;
        int height = 500;
        EShading mode = EShading::kPerPixel;
        int threads = 1;
        float zoom = 1.0f;
        bool repaint = false;
        int left = 0, top = 0, right = 0, bottom = 0;
    };

    // Sets the camera up as the viewer's first picture and calls `run` with the request.
    template <typename Run>
    void WithRequest(const COptions& o, CDrawSurface& surface, Run run) {
        CViewCamera camera;
        camera.scene = &m_scene;
        camera.SetViewportRect(0, 0, o.width, o.height);
        camera.SetStandardView(1);
        camera.standardView = 1;
        camera.displayMode =
            o.mode == EShading::kPerPixel ? kModeRendered : kModeRenderedVertexColours;
        camera.CurrentViewport().zoom = o.zoom;
        if (o.repaint) {
            camera.CurrentViewport().AddRepaintRect(o.left, o.top, o.right, o.bottom);
        }
        CRenderRequest request =
            MakeRenderRequest(camera, WholeScene(m_scene), surface, o.mode, o.threads);
        request.interrupt = &m_interrupt;
        run(request);
    }

    std::unique_ptr<CImageSurface> Render(const COptions& o) {
        auto surface = std::make_unique<CImageSurface>(o.width, o.height, kUnrendered);
        WithRequest(o, *surface, [&](const CRenderRequest& r) { m_stats = RenderPicture(r); });
        return surface;
    }
    std::unique_ptr<CImageSurface> Render() { return Render(COptions{}); }

    CSceneAnchor m_scene;
    CRenderStats m_stats;
    CInterrupt m_interrupt;
};

constexpr EShading kBothShadings[] = {EShading::kVertexColours, EShading::kPerPixel};

TEST_F(RenderSceneTest, EmptySceneIsUniformlyLightGreyInBothModes) {
    for (EShading mode : kBothShadings) {
        const auto s = Render({.width = 64, .height = 48, .mode = mode});
        for (int y = 0; y < 48; ++y) {
            for (int x = 0; x < 64; ++x) {
                ASSERT_EQ(s->Pixel(x, y), kBackground) << x << "," << y;
            }
        }
        EXPECT_EQ(s->RowsDelivered(), 48);
    }
}

TEST_F(RenderSceneTest, CubeOfSideTwentyCoversTwoHundredPixelsSquare) {
    Add(Box({-10, -10, -10}, {10, 10, 10}));
    for (EShading mode : kBothShadings) {
        const CPixelBox b = Covered(*Render({.mode = mode}));
        EXPECT_NEAR(b.x0, 150, 1) << static_cast<int>(mode);
        EXPECT_NEAR(b.x1, 349, 1) << static_cast<int>(mode);
        EXPECT_NEAR(b.y0, 150, 1) << static_cast<int>(mode);
        EXPECT_NEAR(b.y1, 349, 1) << static_cast<int>(mode);
        EXPECT_EQ(b.count, (b.x1 - b.x0 + 1) * (b.y1 - b.y0 + 1))
            << "no holes, mode " << static_cast<int>(mode);
    }
}

TEST_F(RenderSceneTest, CutterThroughABoxLeavesExactlyItsHole) {
    Add(Box({-10, -10, -10}, {10, 10, 10}));
    CSceneObject* cutter = Add(Box({-3, -15, -2}, {3, 15, 4}));
    cutter->cutter = 1;
    const auto s = Render();
    for (int y = Row(10); y < Row(-10); ++y) {
        for (int x = Column(-10); x < Column(10); ++x) {
            const bool hole = x >= Column(-3) && x < Column(3) && y >= Row(4) && y < Row(-2);
            ASSERT_EQ(s->Pixel(x, y) == kBackground, hole) << x << "," << y;
        }
    }
}

TEST_F(RenderSceneTest, BlindHoleShowsTheCuttersSurfaceAtItsBottom) {
    Add(Box({-10, -10, -10}, {10, 10, 10}));
    Add(Box({-3, -15, -3}, {3, 0, 3}))->cutter = 1;  // ends halfway into the box
    const auto s = Render();
    const uint32_t front = s->Pixel(Column(-8), Row(0));
    const uint32_t bottom = s->Pixel(Column(0), Row(0));
    EXPECT_NE(bottom, kBackground);
    EXPECT_NE(bottom, kUnrendered);
    // The bottom faces the viewer as the front face does, so it is lit alike.
    EXPECT_EQ(bottom, front);
}

TEST_F(RenderSceneTest, OnlyCuttersShowNothing) {
    Add(Box({-10, -10, -10}, {10, 10, 10}))->cutter = 1;
    EXPECT_EQ(Covered(*Render()).count, 0);
}

TEST_F(RenderSceneTest, GemInsideACutterStaysWhole) {
    const std::string previous = GemLibrary().Path();
    const auto shape = Box({-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f});
    const std::string path =
        (std::filesystem::temp_directory_path() / "orva_render_gem.gemlib").string();
    ASSERT_TRUE(WriteFileBytes(path, WriteGemLibraryBytes(shape.get())));
    GemLibrary().SetPath(path);

    Add(Box({-10, -10, -10}, {10, 10, 10}));
    Add(Box({-5, -15, -5}, {5, 15, 5}))->cutter = 1;
    auto gem = std::make_unique<CGem>();
    gem->gemIndex = 0;
    gem->placement = CMatrix4::Scaling(4, 4, 4);
    Add(std::move(gem));
    const auto s = Render();
    GemLibrary().SetPath(previous);
    std::filesystem::remove(path);

    for (int y = Row(5); y < Row(-5); ++y) {
        for (int x = Column(-5); x < Column(5); ++x) {
            const bool gemPixel = x >= Column(-2) && x < Column(2) && y >= Row(2) && y < Row(-2);
            ASSERT_EQ(s->Pixel(x, y) != kBackground, gemPixel) << x << "," << y;
        }
    }
}

// Crossing lists of the whole tree at one pixel, as the row loop sees them.
class CTreeProbe {
public:
    CTreeProbe(const CRenderRequest& r, int column, int row) {
        m_ctx.shadingModeSwitch = EShading::kPerPixel;
        m_ctx.renderRect = {0, r.viewportWidth - 1, 0, r.viewportHeight - 1};
        m_ctx.modelStack.Push();
        m_ctx.modelStack.SetTop(r.view);
        m_ctx.renderTransform = Multiply(Inverse(r.view), r.windowMatrix);
        std::unique_ptr<CRenderNode> tree = BuildRenderTree(m_ctx, MakeCsgPlan(r.first, r.stop), nullptr);
        for (int y = 0; y <= row && tree != nullptr; ++y) {
            if (y < tree->firstRow) {
                continue;
            }
            AdvanceToRow(*tree, y, m_ctx);
            for (int x = std::max(0, tree->leftmostColumn); x <= column; ++x) {
                CFragment* list = FragmentsAtColumn(*tree, x, m_ctx);
                if (y == row && x == column) {
                    for (CFragment* f = list; f != nullptr; f = f->link) {
                        depths.push_back(f->depth);
                    }
                }
                RecycleFragments(m_ctx.pools, list);
            }
        }
        ReleaseRenderTree(m_ctx, std::move(tree));
    }
    std::vector<float> depths;

private:
    CRenderContext m_ctx;
};

TEST_F(RenderSceneTest, IntersectionAndUnionOfTwoBoxesGiveTheirSilhouettesWithoutInnerFaces) {
    for (int kind : {kGroupIntersection, kGroupUnion}) {
        ClearScene();
        Add(Group(kind, {Box({-10, -10, -10}, {10, 10, 10}).release(),
                         Box({0, -5, 0}, {20, 5, 20}).release()}));
        const auto s = Render();
        for (int y = 0; y < 500; y += 3) {
            for (int x = 0; x < 500; x += 3) {
                const bool inA = x >= Column(-10) && x < Column(10) && y >= Row(10) && y < Row(-10);
                const bool inB = x >= Column(0) && x < Column(20) && y >= Row(20) && y < Row(0);
                const bool expected = kind == kGroupIntersection ? inA && inB : inA || inB;
                ASSERT_EQ(s->Pixel(x, y) != kBackground, expected)
                    << "kind " << kind << " at " << x << "," << y;
            }
        }
        // Where both boxes lie on the ray, the solid is entered once and left once.
        COptions o;
        WithRequest(o, *s, [&](const CRenderRequest& r) {
            const CTreeProbe probe(r, Column(5), Row(5));
            ASSERT_EQ(probe.depths.size(), 2u) << kind;
            const float nearY = kind == kGroupIntersection ? -5.0f : -10.0f;
            const float farY = kind == kGroupIntersection ? 5.0f : 10.0f;
            EXPECT_NEAR(probe.depths[0], -nearY, 1e-4);  // eye depth is -y in this view
            EXPECT_NEAR(probe.depths[1], -farY, 1e-4);
        });
    }
}

TEST_F(RenderSceneTest, OpenBandIsCappedIntoASolid) {
    Add(Tube(8.0f, -4.0f, 4.0f));  // seen along its axis: only the caps can show
    const auto s = Render();
    EXPECT_NE(s->Pixel(Column(0), Row(0)), kBackground);
    EXPECT_NE(s->Pixel(Column(5), Row(-3)), kBackground);
    EXPECT_EQ(s->Pixel(Column(9), Row(0)), kBackground);
    const CPixelBox b = Covered(*s);
    EXPECT_NEAR(b.x1 - b.x0 + 1, 160, 6);  // about 2 x 8 units
}

TEST_F(RenderSceneTest, CoincidentSurfacesInFrontCancelAndShowWhatIsBehind) {
    Add(Box({-10, 0, -10}, {10, 10, 10}));
    const auto alone = Render();
    // A flat square with a face each way at the same place: its two crossings coincide.
    auto flat = std::make_unique<CPolyMesh>();
    flat->points = {{-5, -5, -5}, {5, -5, -5}, {5, -5, 5}, {-5, -5, 5}};
    flat->selection.assign(4, 0);
    flat->polygonSizes = {4, 4};
    flat->vertexIndices = {0, 1, 2, 3, 3, 2, 1, 0};
    Add(std::move(flat));
    const auto both = Render();
    EXPECT_EQ(alone->Pixels(), both->Pixels());
}

TEST_F(RenderSceneTest, PerVertexColoursAreClampedToBytes) {
    CSpan span;
    span.values.colour = {1.7f, -0.3f, 0.5f};
    span.values.colourStep = {0.0f, 0.0f, 0.125f};
    CFragment f;
    f.span = &span;
    uint8_t pixel[3] = {1, 2, 3};
    StoreVertexColour(f, 0, pixel);
    EXPECT_EQ(pixel[2], 255);  // red
    EXPECT_EQ(pixel[1], 0);    // green
    EXPECT_EQ(pixel[0], 127);  // blue: 0.5 * 255 truncated
    StoreVertexColour(f, 3, pixel);
    EXPECT_EQ(pixel[0], 223);  // 0.875 * 255 truncated
    StoreVertexColour(f, 5, pixel);
    EXPECT_EQ(pixel[0], 255);  // 1.125 clamped, never wrapped round
    span.values.colour.z = std::numeric_limits<float>::quiet_NaN();
    StoreVertexColour(f, 0, pixel);
    EXPECT_EQ(pixel[0], 0);  // never an undefined byte
}

TEST_F(RenderSceneTest, RepaintRendersOnlyItsPartAndThatPartMatchesTheWhole) {
    Add(Box({-10, -10, -10}, {10, 10, 10}));
    Add(Tube(6.0f, -14.0f, -11.0f));
    Add(Box({-3, -15, -3}, {3, 15, 3}))->cutter = 1;
    for (EShading mode : kBothShadings) {
        COptions o{.mode = mode};
        const auto whole = Render(o);
        o.repaint = true;
        o.left = 137, o.top = 201, o.right = 262, o.bottom = 330;
        const auto part = Render(o);
        EXPECT_EQ(m_stats.rowsDelivered, 129);
        for (int y = 0; y < 500; ++y) {
            for (int x = 0; x < 500; ++x) {
                const bool inside = x >= 137 && x < 262 && y >= 201 && y < 330;
                ASSERT_EQ(part->Pixel(x, y), inside ? whole->Pixel(x, y) : kUnrendered)
                    << x << "," << y << " mode " << static_cast<int>(mode);
            }
        }
    }
}

TEST_F(RenderSceneTest, EmptyRepaintRectangleDrawsNothing) {
    Add(Box({-10, -10, -10}, {10, 10, 10}));
    const auto s = Render({.repaint = true, .left = 50, .top = 50, .right = 50, .bottom = 90});
    EXPECT_EQ(s->RowsDelivered(), 0);
}

void AddBusyScene(CSceneAnchor& scene) {
    CListBuilder list(scene.first);
    list.Append(Box({-10, -10, -10}, {10, 10, 10}).release());
    list.Append(Tube(6.0f, -16.0f, -11.0f).release());
    CSceneObject* cutter = Box({-3, -15, -3}, {3, 15, 12}).release();
    cutter->cutter = 1;
    list.Append(cutter);
    list.Append(Group(kGroupIntersection, {Box({8, -12, 8}, {18, -2, 18}).release(),
                                           Tube(6.0f, -13.0f, 0.0f).release()})
                    .release());
    list.Append(Group(kGroupDifference, {Box({-20, -4, -20}, {-8, 4, -8}).release(),
                                         Box({-16, -8, -16}, {-12, 8, -12}).release()})
                    .release());
}

TEST_F(RenderSceneTest, IntersectionWithASolidOutsideThePictureShowsNothing) {
    // The second box lies wholly above the picture: its part of the scene is never built,
    // yet the intersection must not fall back to the first box alone.
    Add(Group(kGroupIntersection, {Box({-10, -10, -10}, {10, 10, 10}).release(),
                                   Box({-10, -10, 40}, {10, 10, 60}).release()}));
    EXPECT_EQ(Covered(*Render()).count, 0);
}

TEST_F(RenderSceneTest, AnyNumberOfThreadsGivesTheSameBytes) {
    AddBusyScene(m_scene);
    for (EShading mode : kBothShadings) {
        COptions o{.width = 320, .height = 240, .mode = mode};
        const auto one = Render(o);
        EXPECT_GT(Covered(*one).count, 1000);
        for (int threads : {2, 4}) {
            o.threads = threads;
            const auto many = Render(o);
            EXPECT_EQ(m_stats.threads, threads);
            EXPECT_EQ(many->RowsDelivered(), 240);
            EXPECT_EQ(one->Pixels(), many->Pixels())
                << threads << " threads, mode " << static_cast<int>(mode);
        }
    }
}

TEST_F(RenderSceneTest, ALoneSurfaceShowsWhateverPartOfThePictureIsRendered) {
    // A closed surface has no caps: where nothing else shows, its patch is the whole tree.
    Add(test::Torus(6.0f, 2.0f));
    COptions o{.width = 200, .height = 160};
    const auto one = Render(o);
    EXPECT_NE(one->Pixel(100 + 19, 80), kBackground);  // on the ring, 6 units right
    EXPECT_EQ(one->Pixel(100, 80), kBackground);       // in its hole
    o.threads = 2;
    EXPECT_EQ(Render(o)->Pixels(), one->Pixels());
    o.threads = 1;
    o.repaint = true;
    o.left = 40, o.top = 60, o.right = 160, o.bottom = 100;
    const auto part = Render(o);
    EXPECT_EQ(part->Pixel(100 + 19, 80), one->Pixel(100 + 19, 80));
}

// Asks for the interrupt once a number of rows has arrived.
class CInterruptingSurface : public CImageSurface {
public:
    CInterruptingSurface(int width, int height, int after, CInterrupt& interrupt)
        : CImageSurface(width, height, kUnrendered),
          m_seen(height, 0),
          m_after(after),
          m_interrupt(interrupt) {}
    void PutImage(int x, int y, int width, int height, const uint8_t* bits) override {
        CImageSurface::PutImage(x, y, width, height, bits);
        ++m_seen[static_cast<std::size_t>(y)];
        if (RowsDelivered() == m_after) {
            m_interrupt.Request();
        }
    }
    std::vector<int> m_seen;

private:
    int m_after;
    CInterrupt& m_interrupt;
};

TEST_F(RenderSceneTest, InterruptLeavesExactlyTheRowsHandedOver) {
    AddBusyScene(m_scene);
    COptions o{.width = 200, .height = 150};
    const auto whole = Render(o);
    {
        CInterruptingSurface s(200, 150, 37, m_interrupt);
        WithRequest(o, s, [&](const CRenderRequest& r) { m_stats = RenderPicture(r); });
        EXPECT_TRUE(m_stats.interrupted);
        EXPECT_EQ(s.RowsDelivered(), 37);
        for (int y = 0; y < 150; ++y) {
            ASSERT_EQ(s.m_seen[y], y < 37 ? 1 : 0) << y;
            for (int x = 0; x < 200; ++x) {
                ASSERT_EQ(s.Pixel(x, y), y < 37 ? whole->Pixel(x, y) : kUnrendered);
            }
        }
    }
    {
        // Several threads each finish the row in hand; every row arrives at most once.
        m_interrupt.Reset();
        o.threads = 3;
        CInterruptingSurface s(200, 150, 20, m_interrupt);
        WithRequest(o, s, [&](const CRenderRequest& r) { m_stats = RenderPicture(r); });
        EXPECT_LE(s.RowsDelivered(), 20 + 2);
        for (int y = 0; y < 150; ++y) {
            ASSERT_LE(s.m_seen[y], 1) << y;
            for (int x = 0; x < 200 && s.m_seen[y] == 1; ++x) {
                ASSERT_EQ(s.Pixel(x, y), whole->Pixel(x, y));
            }
        }
    }
    // The stop belongs to whoever asked for it: the render polls it and never clears it, so
    // the next render starts afresh only once its owner resets it.
    EXPECT_TRUE(m_interrupt.Poll());
    m_interrupt.Reset();
    EXPECT_EQ(Render(o)->Pixels(), whole->Pixels());
}

// Asks its frame for another render from inside the first one.
class CReenteringSurface : public CImageSurface {
public:
    CReenteringSurface() : CImageSurface(40, 30, kUnrendered) {}
    void PutImage(int x, int y, int width, int height, const uint8_t* bits) override {
        CImageSurface::PutImage(x, y, width, height, bits);
        ++calls;
        if (y == 0 && frame != nullptr) {
            RenderScene(*frame, EShading::kPerPixel);
        }
    }
    CFrameContext* frame = nullptr;
    int calls = 0;
};

TEST_F(RenderSceneTest, RenderAskedForDuringARenderOfTheSameFrameDrawsNothing) {
    Add(Box({-10, -10, -10}, {10, 10, 10}));
    CReenteringSurface s;
    CViewCamera camera;
    camera.scene = &m_scene;
    camera.SetViewportRect(0, 0, 40, 30);
    camera.SetStandardView(1);
    CFrameContext frame(camera, s, m_interrupt);
    frame.renderThreads = 1;
    s.frame = &frame;
    camera.ApplyView(frame);
    RenderScene(frame, EShading::kPerPixel);
    EXPECT_EQ(s.calls, 30);
}

TEST_F(RenderSceneTest, HugeZoomAndNonFinitePointsRenderWithoutHarm) {
    Add(Box({-10, -10, -10}, {10, 10, 10}));
    auto broken = Box({-1, -20, -1}, {1, -18, 1});
    broken->points[3] = {std::numeric_limits<float>::quiet_NaN(), 0, 0};
    broken->points[5] = {std::numeric_limits<float>::infinity(), 1e30f, -1e30f};
    Add(std::move(broken));
    auto wild = Box({-1, -20, -1}, {1, -18, 1});
    wild->vertexIndices[2] = 100000;  // bypasses the reader's checks
    wild->vertexIndices[5] = -7;
    Add(std::move(wild));
    const auto s = Render({.width = 120, .height = 90, .zoom = 1000.0f});
    EXPECT_EQ(s->RowsDelivered(), 90);
    // At this zoom the cube's front face fills the picture.
    EXPECT_EQ(Covered(*s).count, 120 * 90);
}

}  // namespace
}  // namespace orva
