#include "measure/jewel_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

#include "measure/left_out_objects.h"
#include "platform/interrupt.h"
#include "render/csg/csg_plan.h"
#include "scene/gem.h"
#include "scene/gem_library.h"
#include "scene/group.h"
#include "scene/poly_mesh.h"

namespace orva {

namespace {

// Nearer than this in every size, stones count as alike.
constexpr double kSameSizeMm = 0.01;
// No stone set in jewellery is larger: a larger one is a stone scaled by mistake.
constexpr double kLargestStoneMm = 50.0;

bool NamesMaterial(const char* name) {
    return name != nullptr && name[0] != '\0';
}

double SignedMeshVolume(const CPolyMesh& mesh) {
    double sum = 0.0;
    std::size_t at = 0;
    for (const int32_t size : mesh.polygonSizes) {
        const int32_t* idx = mesh.vertexIndices.data() + at;
        at += static_cast<std::size_t>(size);
        for (int32_t k = 1; k + 1 < size; ++k) {
            const CVector3& a = mesh.points[static_cast<std::size_t>(idx[0])];
            const CVector3& b = mesh.points[static_cast<std::size_t>(idx[k])];
            const CVector3& c = mesh.points[static_cast<std::size_t>(idx[k + 1])];
            sum += (double(a.x) * (double(b.y) * c.z - double(b.z) * c.y) -
                    double(a.y) * (double(b.x) * c.z - double(b.z) * c.x) +
                    double(a.z) * (double(b.x) * c.y - double(b.y) * c.x)) /
                   6.0;
        }
    }
    return sum;
}

double Length(float x, float y, float z) {
    return std::sqrt(double(x) * x + double(y) * y + double(z) * z);
}

double Determinant3(const CMatrix4& m) {
    return double(m.At(0, 0)) *
               (double(m.At(1, 1)) * m.At(2, 2) - double(m.At(1, 2)) * m.At(2, 1)) -
           double(m.At(0, 1)) *
               (double(m.At(1, 0)) * m.At(2, 2) - double(m.At(1, 2)) * m.At(2, 0)) +
           double(m.At(0, 2)) * (double(m.At(1, 0)) * m.At(2, 1) - double(m.At(1, 1)) * m.At(2, 0));
}

// One placed stone, before alike stones are counted together.
CGemEntry DescribeGem(const CGem& gem, const char* material, bool shippedNames) {
    CGemEntry e;
    e.index = gem.gemIndex;
    e.count = 1;
    e.material = NamesMaterial(material) ? material : "";
    e.organic = IsOrganicGem(e.material);
    if (shippedNames) {
        e.name = ShippedGemName(gem.gemIndex);
    }
    CGemResolution resolution;
    const CSceneObject* shape = resolution.Shape(gem.gemIndex);
    if (shape == nullptr) {
        return e;
    }
    CVector3 lo;
    CVector3 hi;
    ResetBounds(lo, hi);
    shape->GetBounds(lo, hi, CMatrix4::Identity());
    const CMatrix4& p = gem.placement;
    if (!BoundsEmpty(lo, hi)) {
        // Row vectors: the shape's own axis k lands along row k of the placement.
        e.sizeMm[0] = (hi.y - lo.y) * Length(p.At(1, 0), p.At(1, 1), p.At(1, 2));
        e.sizeMm[1] = (hi.x - lo.x) * Length(p.At(0, 0), p.At(0, 1), p.At(0, 2));
        e.sizeMm[2] = (hi.z - lo.z) * Length(p.At(2, 0), p.At(2, 1), p.At(2, 2));
    }
    if (const std::optional<double> v = ShapeMeshVolume(*shape)) {
        e.volumeMm3 = std::fabs(*v * Determinant3(p));
        if (const std::optional<double> density = StoneDensity(e.material)) {
            e.caratEach = Carats(*e.volumeMm3, *density);
        }
    }
    return e;
}

bool Alike(const CGemEntry& a, const CGemEntry& b) {
    if (a.index != b.index || a.material != b.material) {
        return false;
    }
    for (int k = 0; k < 3; ++k) {
        if (!(std::fabs(a.sizeMm[k] - b.sizeMm[k]) <= kSameSizeMm)) {
            return false;
        }
    }
    return true;
}

// Counts a stone with the alike ones before it, and widens the report's box to it.
void AddGem(CJewelReport& report, const CGem& gem, const char* material, bool shippedNames) {
    CGemEntry e = DescribeGem(gem, material, shippedNames);
    CVector3 lo;
    CVector3 hi;
    ResetBounds(lo, hi);
    gem.GetBounds(lo, hi, CMatrix4::Identity());
    if (!BoundsEmpty(lo, hi)) {
        MergeBounds(report.min, report.max, lo, hi);
        report.hasBounds = true;
    }
    if (std::max({e.sizeMm[0], e.sizeMm[1], e.sizeMm[2]}) > kLargestStoneMm) {
        char line[200];
        std::snprintf(line, sizeof line,
                      "a stone (shape #%d) measures %.3g mm, larger than %.0f mm: its carats "
                      "are those of no stone set in jewellery",
                      e.index, std::max({e.sizeMm[0], e.sizeMm[1], e.sizeMm[2]}), kLargestStoneMm);
        report.warnings.push_back(line);
    }
    for (CGemEntry& known : report.gems) {
        if (Alike(known, e)) {
            ++known.count;
            return;
        }
    }
    report.gems.push_back(std::move(e));
}

bool HoldsStone(const CGroup& group) {
    for (const CSceneObject* c = group.children.first; c != nullptr; c = c->next) {
        if (c->GetTypeId() == kTypeGem ||
            (c->GetTypeId() == kTypeGroup && HoldsStone(static_cast<const CGroup&>(*c)))) {
            return true;
        }
    }
    return false;
}

// An intersection that holds a stone has no metal: the stone is no solid to intersect with, as
// the picture shows too. Said once per top-level object.
void WarnOfStonesInIntersections(const CSceneObject* first, const CSceneObject* stop,
                                 std::vector<std::string>& warnings) {
    const std::function<bool(const CSceneObject&)> intersects = [&](const CSceneObject& o) {
        if (o.GetTypeId() != kTypeGroup) {
            return false;
        }
        const auto& group = static_cast<const CGroup&>(o);
        if (group.kind == kGroupIntersection && HoldsStone(group)) {
            return true;
        }
        for (const CSceneObject* c = group.children.first; c != nullptr; c = c->next) {
            if (intersects(*c)) {
                return true;
            }
        }
        return false;
    };
    int index = 0;
    for (const CSceneObject* o = first; o != nullptr && o != stop; o = o->next, ++index) {
        if (o->IsShown() && intersects(*o)) {
            warnings.push_back("object " + std::to_string(index) +
                               " (group): a stone inside an intersection group leaves none of "
                               "the group's metal, as the picture shows");
        }
    }
}

// Metal thinner than two of the grid's cells (foil, fine wire) is hit or missed by luck from
// the directions that see it edge-on; the uncertainty allows for it, and it is said when it
// may put the volume out by more than the accuracy asked for.
void WarnOfThinMetal(const CSolidVolume& metal, double accuracyPercent,
                     std::vector<std::string>& warnings) {
    const double share = metal.volume > 0.0 ? 100.0 * metal.thinMetalError / metal.volume : 0.0;
    if (metal.interrupted || !(share > accuracyPercent)) {
        return;
    }
    char line[200];
    std::snprintf(line, sizeof line,
                  "metal thinner than two of the grid's cells (%.3f mm) may put the volume out by "
                  "%.1f %%: a finer accuracy measures it better",
                  metal.cellSize, share);
    warnings.push_back(line);
}

}  // namespace

std::string GemDisplayName(const CGemEntry& gem) {
    return gem.name ? *gem.name : "shape #" + std::to_string(gem.index);
}

std::string MetalDisplayName(const CMetalEntry& metal) {
    if (metal.alloy != nullptr) {
        return metal.alloy->displayName;
    }
    return metal.material.empty() ? "(default)" : metal.material;
}

std::optional<double> ShapeMeshVolume(const CSceneObject& shape) {
    if (shape.GetTypeId() == kTypePolyMesh) {
        return SignedMeshVolume(static_cast<const CPolyMesh&>(shape));
    }
    if (shape.GetTypeId() != kTypeGroup) {
        return std::nullopt;
    }
    // A shape of several meshes: their parts are taken as not overlapping.
    double sum = 0.0;
    bool any = false;
    for (const CSceneObject* c = static_cast<const CGroup&>(shape).children.first; c != nullptr;
         c = c->next) {
        if (c->GetTypeId() != kTypePolyMesh) {
            return std::nullopt;
        }
        sum += std::fabs(SignedMeshVolume(static_cast<const CPolyMesh&>(*c)));
        any = true;
    }
    return any ? std::optional<double>(sum) : std::nullopt;
}

void WeighMetals(CJewelReport& report, const CAlloy* alloy) {
    report.metals.clear();
    for (const CMaterialVolume& m : report.metal.materials) {
        CMetalEntry e;
        e.material = m.material;
        e.volumeMm3 = m.volume;
        e.alloy = alloy != nullptr ? alloy : AlloyOfMaterial(m.material);
        if (e.alloy != nullptr) {
            e.weightGrams = m.volume / 1000.0 * e.alloy->densityGramsCm3;
        }
        report.metals.push_back(std::move(e));
    }
    AddUpJewel(report);
}

CJewelReport MeasureJewel(const CSceneObject* first, const CSceneObject* stop,
                          const CJewelOptions& options) {
    CJewelReport report;
    std::vector<const CSceneObject*> leftOut;
    for (CLeftOutObject& o : FindObjectsToLeaveOut(first, stop)) {
        leftOut.push_back(o.object);
        report.warnings.push_back(std::move(o.warning));
    }
    report.objectsLeftOut = static_cast<int>(leftOut.size());
    WarnOfStonesInIntersections(first, stop, report.warnings);
    const CCsgPlan plan = MakeCsgPlan(first, stop, leftOut);
    CVolumeRequest request;
    request.first = first;
    request.stop = stop;
    request.plan = &plan;
    request.accuracyPercent = options.accuracyPercent;
    request.threads = options.threads;
    request.interrupt = options.interrupt;
    report.metal = MeasureSolidVolume(request);
    WarnOfThinMetal(report.metal, options.accuracyPercent, report.warnings);
    if (!report.metal.empty && !report.metal.interrupted) {
        CCsgFilter metalOnly;
        metalOnly.metalOnly = true;
        const CCsgPlan metal = FilterCsgPlan(plan, metalOnly);
        CRingSearch search{first, stop, &metal, report.metal.min, report.metal.max};
        search.interrupt = options.interrupt;
        report.ring = FindRingSize(search);
        // A stop during the search leaves the report as unfinished as one during the measure.
        report.metal.interrupted = options.interrupt != nullptr && options.interrupt->Poll();
    }
    WeighMetals(report, options.alloy);
    ResetBounds(report.min, report.max);
    if (!report.metal.empty) {
        MergeBounds(report.min, report.max, report.metal.min, report.metal.max);
        report.hasBounds = true;
    }
    for (const CPlannedGem& stone : plan.gems) {
        AddGem(report, static_cast<const CGem&>(*stone.gem), stone.materialName,
               options.shippedGemNames);
    }
    AddUpJewel(report);
    return report;
}

}  // namespace orva
