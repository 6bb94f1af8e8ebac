#include "render/csg/csg_plan.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "render/test_shapes.h"
#include "scene/curve.h"
#include "scene/gem.h"
#include "scene/gem_library.h"
#include "scene/scene_file.h"
#include "scene_writer.h"

namespace orva {
namespace {

using test::Group;

// A part named by its material, as the plan's leaves show it.
CSceneObject* Part(const char* material, int32_t cutter = 0, int32_t neverCut = 0) {
    CSceneObject* box = test::Box({0, 0, 0}, {1, 1, 1}).release();
    box->materialName = material;
    box->cutter = cutter;
    box->neverCut = neverCut;
    return box;
}

CSceneObject* Stone(const char* material) {
    auto* gem = new CGem();
    gem->materialName = material;
    return gem;
}

CSceneObject* Named(std::unique_ptr<CGroup> group, const char* material) {
    group->materialName = material;
    return group.release();
}

CSceneObject* Hidden(CSceneObject* object) {
    object->displayState = 2;
    return object;
}

// The plan as text: operations U M I D with their children, leaves as material.role.
std::string Describe(const CCsgNode& node) {
    static const char* const kOperations = "LMUID";
    static const char* const kRoles = "mgcn";
    if (node.operation == ECsgOperation::kLeaf) {
        const char* name = node.materialName != nullptr ? node.materialName : "-";
        return std::string(name) + "." + kRoles[static_cast<int>(node.role)];
    }
    std::string text(1, kOperations[static_cast<int>(node.operation)]);
    text += "(";
    for (std::size_t i = 0; i < node.children.size(); ++i) {
        text += (i > 0 ? "," : "") + Describe(node.children[i]);
    }
    return text + ")";
}

std::string Describe(const CCsgPlan& plan) {
    std::string text = Describe(plan.root) + " stones:";
    for (const CPlannedGem& stone : plan.gems) {
        text += std::string(" ") + (stone.materialName != nullptr ? stone.materialName : "-");
    }
    return text;
}

struct CPlanCase {
    const char* rule;
    std::function<std::vector<CSceneObject*>()> scene;
    const char* plan;
    CCsgFilter filter = {};
};

// Each case: a small scene, and its plan as the rules say (the root unites the cut solids with
// what is never cut).
const CPlanCase kCases[] = {
    {"solids are united, then cut",
     [] {
         return std::vector<CSceneObject*>{Part("a"), Part("b"), Part("c", 1)};
     },
     "U(D(U(a.m,b.m),c.c)) stones:"},
    {"never-cut parts and stones come after the cuts",
     [] {
         return std::vector<CSceneObject*>{Stone("d"), Part("a"), Part("n", 1, 1), Part("c", 1)};
     },
     "U(D(U(a.m),c.c),d.g,n.n) stones: d"},
    {"hidden objects and curves are not part of the solid",
     [] {
         return std::vector<CSceneObject*>{Part("a"), Hidden(Part("h")), new CCurve()};
     },
     "U(D(U(a.m))) stones:"},
    {"a union's stones and cutters join the scene's, with the group's material",
     [] {
         return std::vector<CSceneObject*>{
             Named(Group(kGroupUnion, {Part("a"), Stone("d"), Part("c", 1)}), "au")};
     },
     "U(D(U(U(au.m)),au.c),au.g) stones: au"},
    {"a group naming its own material keeps it",
     [] {
         return std::vector<CSceneObject*>{Named(
             Group(kGroupUnion, {Part("a"), Named(Group(kGroupUnion, {Part("b")}), "pt")}), "au")};
     },
     "U(D(U(U(au.m,U(pt.m))))) stones:"},
    {"a difference keeps what it cuts, stones included, which are cuts",
     [] {
         return std::vector<CSceneObject*>{
             Group(kGroupDifference, {Part("a"), Part("c"), Stone("d")}).release()};
     },
     "U(D(U(D(a.m,c.c,d.c)))) stones:"},
    {"a difference whose base is hidden is nothing",
     [] {
         return std::vector<CSceneObject*>{
             Group(kGroupDifference, {Hidden(Part("a")), Part("c")}).release()};
     },
     "U(D(U())) stones:"},
    {"an intersection with an operand that is no solid is nothing; its cutters still cut",
     [] {
         return std::vector<CSceneObject*>{
             Group(kGroupIntersection, {Part("c", 1), Part("a"), new CCurve(), Part("b")})
                 .release()};
     },
     "U(D(U(),c.c)) stones:"},
    {"a damaged group kind unites, mesh unions stay",
     [] {
         auto damaged =
             Group(kGroupUnion, {Part("a"), Group(kGroupMeshUnion, {Part("b")}).release()});
         damaged->kind = 9;
         return std::vector<CSceneObject*>{damaged.release()};
     },
     "U(D(U(U(a.m,M(b.m))))) stones:"},
    {"the metal alone: stones are left out, cuts made with them stay",
     [] {
         return std::vector<CSceneObject*>{
             Part("a"), Stone("d"), Group(kGroupDifference, {Part("b"), Stone("e")}).release(),
             Group(kGroupIntersection, {Part("f"), Stone("g")}).release()};
     },
     "U(D(U(a.m,D(b.m,e.c)))) stones: d g",
     {true, nullptr}},
    {"one material: other parts go, every cut stays, an intersection is judged whole",
     [] {
         return std::vector<CSceneObject*>{
             Part("a"), Part("b"), Part("c", 1),
             Group(kGroupIntersection, {Part("a"), Part("b")}).release(),
             Group(kGroupIntersection, {Part("b"), Part("b")}).release()};
     },
     "U(D(U(a.m,I(a.m,b.m)),c.c)) stones:",
     {true, "a"}},
};

TEST(CsgPlanTest, ScenesBecomeTheSolidsTheRulesSay) {
    const std::string previous = GemLibrary().Path();
    const auto shape = test::Box({-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f});
    const std::string path = (std::filesystem::temp_directory_path() / "orva_plan.gemlib").string();
    ASSERT_TRUE(WriteFileBytes(path, WriteGemLibraryBytes(shape.get())));
    GemLibrary().SetPath(path);
    for (const CPlanCase& c : kCases) {
        CSceneAnchor scene;
        CSceneObject* last = nullptr;
        for (CSceneObject* object : c.scene()) {
            (last == nullptr ? scene.first : last->next) = object;
            last = object;
        }
        CCsgPlan plan = MakeCsgPlan(scene.first, nullptr);
        if (c.filter.metalOnly || c.filter.onlyMaterial != nullptr) {
            plan = FilterCsgPlan(plan, c.filter);
        }
        EXPECT_EQ(Describe(plan), c.plan) << c.rule;
        ClearScene(scene);
    }
    GemLibrary().SetPath(previous);
    std::filesystem::remove(path);
}

}  // namespace
}  // namespace orva
