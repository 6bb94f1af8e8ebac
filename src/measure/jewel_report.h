#pragma once

#include <optional>
#include <string>
#include <vector>

#include "measure/jewel_materials.h"
#include "measure/ring_size.h"
#include "measure/solid_volume.h"
#include "scene/scene_file.h"

namespace orva {

class CInterrupt;
class CSceneObject;

struct CJewelOptions {
    double accuracyPercent = 0.5;
    int threads = 1;
    const CAlloy* alloy = nullptr;  // set: every metal is weighed as this alloy
    bool shippedGemNames = true;    // the gem library in use is the shipped one
    CInterrupt* interrupt = nullptr;
};

struct CMetalEntry {
    std::string material;  // empty: the default material
    const CAlloy* alloy = nullptr;
    double volumeMm3 = 0.0;
    std::optional<double> weightGrams;  // none without an alloy
};

// Stones alike in shape, material and size (within 0.01 mm), counted together.
struct CGemEntry {
    int index = 0;
    std::optional<std::string> name;
    std::string material;             // empty: none named
    double sizeMm[3] = {0, 0, 0};     // length (shape y), width (shape x), depth (shape z)
    std::optional<double> volumeMm3;  // none when the shape is not a closed mesh
    std::optional<double> caratEach;  // none for an unknown stone
    int count = 0;
    bool organic = false;  // a pearl or the like: counted on its own line, not in the carats
};

// What a jeweller calls the stone's cut: the library's name for the shape, else "shape #N".
std::string GemDisplayName(const CGemEntry& gem);
// What a jeweller calls the metal: the alloy's name ("18K white gold (palladium)"), else the
// material's, else "(default)".
std::string MetalDisplayName(const CMetalEntry& metal);

// The sums of a report's lines, added from the figures as the report gives them (see
// jewel_figures.h), so that a total is always the sum of the lines printed above it.
struct CJewelTotals {
    std::optional<double> metalGrams;  // none unless there is metal and every part is weighed
    int stones = 0;                    // pearls and the like not among them
    double carats = 0.0;               // stones of unknown weight add nothing
    int organicGems = 0;               // pearls and the like
    double overlapMm3 = 0.0;           // metal where parts of different materials overlap
    // What the table ends with when there is overlap, a line per overlap; else empty.
    std::string overlapLine;
};

// Where the measured objects came from: the scene file's name and how much of it was read.
struct CJewelSource {
    std::string sceneName;  // the file's name without its folder; empty when not known
    CLoadReport load;       // status, and where reading stopped when the file ends early
};

// What a jeweller asks of a piece: metal volume and weight, and the stones.
struct CJewelReport {
    CJewelSource source;
    CSolidVolume metal;
    std::vector<CMetalEntry> metals;
    std::vector<CGemEntry> gems;
    bool hasBounds = false;  // the box of the metal and the gems
    CVector3 min;
    CVector3 max;
    CJewelTotals totals;  // kept by MeasureJewel and WeighMetals; AddUpJewel after other edits
    // What the figures may not show: objects left out, stones that empty or are not stones.
    std::vector<std::string> warnings;
    int objectsLeftOut = 0;         // objects the measurement could not take (warnings say which)
    std::optional<CRingSize> ring;  // none unless the piece is a ring
};

// The file ended (or a record was cut short) before its end, or objects were left out: the
// figures are those of the rest only.
inline bool IsIncomplete(const CJewelReport& report) {
    return report.source.load.status == CLoadReport::kOk &&
           (report.source.load.stoppedEarly || report.objectsLeftOut > 0);
}

// Measures the objects from `first` up to (not including) `stop`. The scene must stay
// unchanged meanwhile; blocks until done or interrupted (then `metal.interrupted` is set).
CJewelReport MeasureJewel(const CSceneObject* first, const CSceneObject* stop,
                          const CJewelOptions& options);

// Weighs the measured metal again, replacing `metals`: every part as `alloy`, or each
// material as its own alloy when null. The volumes do not depend on the alloy, so a report
// can be shown in another alloy without measuring again.
void WeighMetals(CJewelReport& report, const CAlloy* alloy);

// Adds up `totals` from the report's metal, metals and gems.
void AddUpJewel(CJewelReport& report);

// Enclosed volume of a library shape before any placement: its polygon meshes' polygons
// fanned into triangles, in model units cubed; none when the shape holds anything else.
std::optional<double> ShapeMeshVolume(const CSceneObject& shape);

}  // namespace orva
