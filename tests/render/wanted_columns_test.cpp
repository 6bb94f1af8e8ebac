// Rows walked for a few of their columns, as an anti-aliased picture's samples are: the
// columns wanted, and the crossing lists there, which must be those of a row walked in full.
#include "render/csg/wanted_columns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

#include "render/csg/csg_plan.h"
#include "render/csg/tree_walk.h"
#include "render/render_context.h"
#include "render/render_scene.h"
#include "render/render_tree.h"
#include "scene/group.h"
#include "scene/object_list.h"
#include "test_shapes.h"
#include "view/draw_surface.h"
#include "view/view_camera.h"

namespace orva {
namespace {

// Wants random runs of columns from left to right, some overlapping the last or reaching past
// the range on either side; returns which columns of the range are wanted.
std::vector<bool> WantRandomRuns(std::mt19937& random, CWantedColumns& wanted, int first,
                                 int last) {
    std::uniform_int_distribution<int> gap(-3, 40);
    std::uniform_int_distribution<int> length(0, 12);
    wanted.Reset(first, last);
    std::vector<bool> flags(static_cast<std::size_t>(last - first + 1));
    for (int from = first - 8 + gap(random); from <= last + 8;) {
        const int to = from + length(random);
        wanted.Want(from, to);
        for (int c = std::max(from, first); c <= std::min(to, last); ++c) {
            flags[static_cast<std::size_t>(c - first)] = true;
        }
        from = std::max(from + 1, to + gap(random) + 1);
    }
    return flags;
}

TEST(WantedColumnsTest, AnyInAgreesWithTheColumnsWanted) {
    std::mt19937 random(7);
    for (int trial = 0; trial < 200; ++trial) {
        const int first = trial % 2 == 0 ? 0 : -37;
        const int last = first + trial;  // from one column to two hundred
        CWantedColumns wanted;
        const std::vector<bool> expected = WantRandomRuns(random, wanted, first, last);
        for (int a = first - 3; a <= last + 3; ++a) {
            for (int b = a - 1; b <= last + 4; ++b) {
                bool any = false;
                for (int c = std::max(a, first); c < std::min(b, last + 1); ++c) {
                    any = any || expected[static_cast<std::size_t>(c - first)];
                }
                ASSERT_EQ(wanted.AnyIn(a, b), any) << trial << ": " << a << ".." << b;
            }
        }
        // Far beyond the range, as the spans of huge triangles reach.
        EXPECT_EQ(wanted.AnyIn(-(1 << 29), 1 << 29),
                  std::find(expected.begin(), expected.end(), true) != expected.end());
    }
}

// What a fragment is, as far as the walk decides it.
struct CSeen {
    int column;
    float depth;
    int orientation;
    const void* surface;
    float normalX;
    bool operator==(const CSeen&) const = default;
};

// A tree of the request's scene walked down its picture's rows.
class CWalkedTree {
public:
    explicit CWalkedTree(const CRenderRequest& r) {
        m_ctx.shadingModeSwitch = EShading::kPerPixel;
        m_ctx.renderRect = {0, r.viewportWidth - 1, 0, r.viewportHeight - 1};
        m_ctx.modelStack.Push();
        m_ctx.modelStack.SetTop(r.view);
        m_ctx.renderTransform = Multiply(Inverse(r.view), r.windowMatrix);
        m_tree = BuildRenderTree(m_ctx, MakeCsgPlan(r.first, r.stop), nullptr);
    }
    ~CWalkedTree() { ReleaseRenderTree(m_ctx, std::move(m_tree)); }

    // The fragments at the columns asked for, of `row` (rows rising from call to call). With
    // `wanted` the row is walked for those columns and asked only there, otherwise walked in
    // full and asked at every column as the row loop does.
    std::vector<CSeen> Row(int row, const CWantedColumns* wanted,
                           const std::vector<bool>& columns) {
        std::vector<CSeen> seen;
        if (m_tree == nullptr || row < m_tree->firstRow) {
            return seen;
        }
        m_ctx.wantedColumns = wanted;
        AdvanceToRow(*m_tree, row, m_ctx);
        m_ctx.wantedColumns = nullptr;
        for (int x = std::max(0, m_tree->leftmostColumn); x < int(columns.size()); ++x) {
            if (wanted != nullptr && !columns[static_cast<std::size_t>(x)]) {
                continue;
            }
            CFragment* list = FragmentsAtColumn(*m_tree, x, m_ctx);
            for (const CFragment* f = list; f != nullptr; f = f->link) {
                if (columns[static_cast<std::size_t>(x)]) {
                    seen.push_back({x, f->depth, f->orientation, FragmentSurface(*f),
                                    FragmentNormal(*f, x).x});
                }
            }
            RecycleFragments(m_ctx.pools, list);
        }
        return seen;
    }

private:
    CRenderContext m_ctx;
    std::unique_ptr<CRenderNode> m_tree;
};

// Cuts, intersections, unions and curved surfaces, turned so that edges run every way.
TEST(WantedColumnsTest, RowsWalkedForSomeColumnsGiveTheFragmentsOfFullRows) {
    using test::Box;
    CSceneAnchor scene;
    auto cutter = test::Tube(4.0f, -20.0f, 20.0f);
    cutter->cutter = 1;
    scene.first = Box({-10, -10, -10}, {10, 10, 10}).release();
    scene.first->next = cutter.release();
    scene.first->next->next =
        test::Group(kGroupIntersection,
                    {Box({12, -6, -6}, {24, 6, 6}).release(), test::Torus(16.0f, 4.0f).release()})
            .release();
    scene.first->next->next->next =
        test::Group(kGroupUnion, {Box({-24, -4, 8}, {-12, 4, 20}).release(),
                                  Box({-20, -8, 12}, {-8, 0, 24}).release()})
            .release();
    constexpr int kWidth = 240;
    constexpr int kHeight = 180;
    std::mt19937 random(11);
    std::bernoulli_distribution skipRow(0.2);
    for (const double turn : {0.0, 25.0, 140.0}) {
        SCOPED_TRACE(turn);
        CImageSurface surface(kWidth, kHeight);
        CViewCamera camera;
        camera.scene = &scene;
        camera.SetViewportRect(0, 0, kWidth, kHeight);
        camera.SetStandardView(1);
        camera.CurrentViewport().Rotate(1, turn);
        camera.CurrentViewport().Rotate(0, turn / 2.0);
        const CRenderRequest r =
            MakeRenderRequest(camera, WholeScene(scene), surface, EShading::kPerPixel, 1);
        CWalkedTree full(r);
        CWalkedTree some(r);
        CWantedColumns wanted;
        std::size_t compared = 0;
        for (int y = 0; y < kHeight; ++y) {
            if (skipRow(random)) {
                continue;  // rows without a pixel to sample are passed over
            }
            const std::vector<bool> columns = WantRandomRuns(random, wanted, 0, kWidth - 1);
            const std::vector<CSeen> expected = full.Row(y, nullptr, columns);
            ASSERT_EQ(some.Row(y, &wanted, columns), expected) << "row " << y;
            compared += expected.size();
        }
        EXPECT_GT(compared, 1000u) << "the scene is not in the picture";
    }
    scene.Clear();
}

}  // namespace
}  // namespace orva
