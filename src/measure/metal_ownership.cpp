#include "measure/metal_ownership.h"

#include <algorithm>
#include <numeric>
#include <unordered_map>

#include "scene/group.h"

namespace orva {

namespace {

// Beyond this many runs of parts of one material (materials alternating along the scene), the
// plans would grow with the square of the runs: each material is then taken as one run placed
// at its last part.
constexpr std::size_t kMostRuns = 16;

using CSceneOrder = std::unordered_map<const CSceneObject*, int>;

void NumberObjects(const CSceneObject* first, const CSceneObject* stop, CSceneOrder& order) {
    for (const CSceneObject* o = first; o != nullptr && o != stop; o = o->next) {
        order.emplace(o, static_cast<int>(order.size()));
        if (o->GetTypeId() == kTypeGroup) {
            NumberObjects(static_cast<const CGroup&>(*o).children.first, nullptr, order);
        }
    }
}

// Where a part comes in the scene: at its last object.
int PlaceOf(const CCsgPart& part, const CSceneOrder& order) {
    int place = -1;
    for (const CSceneObject* o : part.objects) {
        const auto found = order.find(o);
        place = std::max(place, found != order.end() ? found->second : -1);
    }
    return place;
}

std::string NameOf(const char* material) {
    return material != nullptr ? material : "";
}

// A run: parts of one material that follow one another in the scene.
struct CRun {
    std::string material;
    std::vector<std::size_t> parts;
};

std::vector<CRun> RunsInSceneOrder(const std::vector<CCsgPart>& parts, const CSceneOrder& order) {
    std::vector<std::size_t> sorted(parts.size());
    std::iota(sorted.begin(), sorted.end(), std::size_t{0});
    std::stable_sort(sorted.begin(), sorted.end(), [&](std::size_t a, std::size_t b) {
        return PlaceOf(parts[a], order) < PlaceOf(parts[b], order);
    });
    std::vector<CRun> runs;
    for (const std::size_t p : sorted) {
        const std::string material = NameOf(parts[p].materialName);
        if (runs.empty() || runs.back().material != material) {
            runs.push_back({material, {}});
        }
        runs.back().parts.push_back(p);
    }
    return runs;
}

// Each material as one run at its last part.
std::vector<CRun> OneRunPerMaterial(const std::vector<CRun>& runs) {
    std::vector<CRun> merged;
    for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
        const auto same = std::find_if(merged.begin(), merged.end(),
                                       [&](const CRun& m) { return m.material == run->material; });
        if (same == merged.end()) {
            merged.push_back(*run);
        } else {
            same->parts.insert(same->parts.end(), run->parts.begin(), run->parts.end());
        }
    }
    std::reverse(merged.begin(), merged.end());
    return merged;
}

CCsgNode KeptParts(const CCsgPlan& metal, std::size_t partCount,
                   const std::vector<std::size_t>& parts) {
    std::vector<bool> flags(partCount, false);
    for (const std::size_t p : parts) {
        flags[p] = true;
    }
    CCsgFilter filter;
    filter.keptParts = &flags;
    return FilterCsgPlan(metal, filter).root;
}

CCsgNode Operation(ECsgOperation operation, std::vector<CCsgNode> children) {
    CCsgNode node;
    node.operation = operation;
    node.children = std::move(children);
    return node;
}

}  // namespace

std::vector<CMaterialShare> ShareMetalByMaterial(const CCsgPlan& metal, const CSceneObject* first,
                                                 const CSceneObject* stop) {
    const std::vector<CCsgPart> parts = CsgParts(metal, false);
    CSceneOrder order;
    NumberObjects(first, stop, order);
    std::vector<CRun> runs = RunsInSceneOrder(parts, order);
    if (runs.size() > kMostRuns) {
        runs = OneRunPerMaterial(runs);
    }
    std::vector<CMaterialShare> shares;
    for (const char* name : SolidMaterialNames(metal)) {
        CMaterialShare share;
        share.material = name;
        std::vector<CCsgNode> owned;
        std::vector<std::size_t> all;
        for (std::size_t r = 0; r < runs.size(); ++r) {
            if (runs[r].material != share.material) {
                continue;
            }
            std::vector<std::size_t> later;
            for (std::size_t s = r + 1; s < runs.size(); ++s) {
                later.insert(later.end(), runs[s].parts.begin(), runs[s].parts.end());
                if (runs[s].material != share.material &&
                    std::find(share.laterMaterials.begin(), share.laterMaterials.end(),
                              runs[s].material) == share.laterMaterials.end()) {
                    share.laterMaterials.push_back(runs[s].material);
                }
            }
            std::vector<CCsgNode> run;
            run.push_back(KeptParts(metal, parts.size(), runs[r].parts));
            if (!later.empty()) {
                run.push_back(KeptParts(metal, parts.size(), later));
            }
            owned.push_back(Operation(ECsgOperation::kDifference, std::move(run)));
            all.insert(all.end(), runs[r].parts.begin(), runs[r].parts.end());
        }
        share.owned.root = Operation(ECsgOperation::kUnion, std::move(owned));
        share.alone.root = KeptParts(metal, parts.size(), all);
        shares.push_back(std::move(share));
    }
    std::sort(shares.begin(), shares.end(), [](const CMaterialShare& a, const CMaterialShare& b) {
        return a.material < b.material;
    });
    return shares;
}

}  // namespace orva
