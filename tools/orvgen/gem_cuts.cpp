#include "gem_cuts.h"

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "brilliant_cut.h"
#include "gem_girdles.h"
#include "json_scene.h"
#include "princess_cut.h"
#include "smooth_gems.h"
#include "step_cut.h"

namespace orva {

namespace {

using nlohmann::json;

constexpr double kDegree = 3.14159265358979323846 / 180.0;

// Reads the proportions of one cut and names the cut and field in every complaint.
class CCutReader {
public:
    explicit CCutReader(const json& d) : m_d(d), m_name(d.value("cut", std::string("?"))) {}

    double Number(const char* key, double fallback, double min, double max) const {
        const double value = m_d.contains(key) ? Get<double>(key) : fallback;
        if (!(value >= min && value <= max)) {
            Fail(std::string(key) + " must lie between " + Text(min) + " and " + Text(max));
        }
        return value;
    }
    int Count(const char* key, int fallback, int min, int max, int multipleOf) const {
        const int value = m_d.contains(key) ? Get<int>(key) : fallback;
        if (value < min || value > max || value % multipleOf != 0) {
            const std::string multiple =
                multipleOf > 1 ? " and a multiple of " + std::to_string(multipleOf) : "";
            Fail(std::string(key) + " must lie between " + std::to_string(min) + " and " +
                 std::to_string(max) + multiple);
        }
        return value;
    }
    // Facet angles in degrees, strictly between 0 and 90.
    std::vector<double> Angles(const char* key, std::vector<double> fallback) const {
        std::vector<double> angles = m_d.contains(key) ? Get<std::vector<double>>(key) : fallback;
        if (angles.empty() || angles.size() > 16) {
            Fail(std::string(key) + " must list 1 to 16 angles");
        }
        for (double a : angles) {
            if (!(a > 0.0 && a < 90.0)) {
                Fail(std::string(key) + " angles must lie strictly between 0 and 90 degrees");
            }
        }
        return angles;
    }
    bool Has(const char* key) const { return m_d.contains(key); }
    [[noreturn]] void Fail(const std::string& why) const {
        throw CDescriptionError("cut \"" + m_name + "\": " + why);
    }

private:
    template <typename T>
    T Get(const char* key) const {
        try {
            return m_d.at(key).get<T>();
        } catch (const json::exception&) {
            Fail(std::string(key) + " has the wrong type: " + m_d.at(key).dump());
        }
    }
    static std::string Text(double v) {
        std::string s = std::to_string(v);
        s.erase(s.find_last_not_of('0') + 1);
        if (!s.empty() && s.back() == '.') {
            s.pop_back();
        }
        return s;
    }

    const json& m_d;
    std::string m_name;
};

// The usual proportions of a brilliant-style cut. Round brilliants are known by the angles of
// their mains, fancy shapes by their heights: an angle above zero is the default instead of the
// height beside it.
struct CBrilliantDefaults {
    double table = 0.0;
    double crownHeight = 0.0, crownAngle = 0.0;
    double pavilionDepth = 0.0, pavilionAngle = 0.0;
};

// A height given as such, or as the angle of the mains at the ends of the width rising over
// `run` (crown: from girdle to table; pavilion: from girdle to culet).
double HeightOrAngle(const CCutReader& r, const char* heightKey, const char* angleKey,
                     double height, double angle, double run) {
    if (r.Has(heightKey) && r.Has(angleKey)) {
        r.Fail(std::string("give ") + heightKey + " or " + angleKey + ", not both");
    }
    if (r.Has(angleKey) || (angle > 0.0 && !r.Has(heightKey))) {
        return run * std::tan(r.Number(angleKey, angle, 1.0, 80.0) * kDegree);
    }
    return r.Number(heightKey, height, 0.01, 2.0);
}

CBrilliantProportions BrilliantFromJson(const CCutReader& r, const CBrilliantDefaults& d) {
    CBrilliantProportions p;
    p.table = r.Number("table", d.table, 0.2, 0.9);
    p.crownHeight = HeightOrAngle(r, "crownHeight", "crownAngle", d.crownHeight, d.crownAngle,
                                  0.5 * (1.0 - p.table));
    p.pavilionDepth =
        HeightOrAngle(r, "pavilionDepth", "pavilionAngle", d.pavilionDepth, d.pavilionAngle, 0.5);
    p.starLength = r.Number("starLength", 0.5, 0.05, 0.95);
    p.lowerHalfLength = r.Number("lowerHalfLength", 0.75, 0.05, 0.95);
    return p;
}

std::unique_ptr<CPolyMesh> Brilliant(const CCutReader& r, const std::vector<CGemPoint>& girdle,
                                     const CBrilliantDefaults& defaults) {
    return MakeBrilliantCut(girdle, BrilliantFromJson(r, defaults));
}

std::unique_ptr<CPolyMesh> StepCut(const CCutReader& r, double ratio, double cornerCut,
                                   double table, std::vector<double> crown,
                                   std::vector<double> pavilion) {
    CStepProportions p;
    p.ratio = r.Number("ratio", ratio, 1.0, 6.0);
    p.cornerCut = r.Number("cornerCut", cornerCut, 0.0, 0.45);
    p.table = r.Number("table", table, 0.2, 0.9);
    p.crownAngles = r.Angles("crownAngles", crown);
    p.pavilionAngles = r.Angles("pavilionAngles", pavilion);
    return MakeStepCut(p);
}

std::unique_ptr<CPolyMesh> Princess(const CCutReader& r) {
    CPrincessProportions p;
    p.ratio = r.Number("ratio", 1.0, 1.0, 2.0);
    p.table = r.Number("table", 0.70, 0.2, 0.9);
    p.crownAngles = r.Angles("crownAngles", {40.0, 30.0});
    p.pavilionAngles = r.Angles("pavilionAngles", {56.0, 50.0, 44.0});
    p.chevronOffset = r.Number("chevronOffset", 0.5, 0.0, 0.9);
    return MakePrincessCut(p);
}

std::unique_ptr<CPolyMesh> Cabochon(const CCutReader& r) {
    CCabochonProportions p;
    p.ratio = r.Number("ratio", 1.0, 1.0, 4.0);
    p.dome = r.Number("dome", 0.35, 0.02, 2.0);
    p.segments = r.Count("segments", 64, 8, 512, 4);
    p.rings = r.Count("rings", 16, 2, 256, 1);
    return MakeCabochon(p);
}

std::unique_ptr<CPolyMesh> Pearl(const CCutReader& r) {
    CPearlProportions p;
    p.segments = r.Count("segments", 64, 8, 512, 4);
    p.rings = r.Count("rings", 32, 4, 256, 2);
    return MakePearl(p);
}

using CCutMaker = std::function<std::unique_ptr<CPolyMesh>(const CCutReader&)>;

const std::vector<std::pair<std::string, CCutMaker>>& CutMakers() {
    using R = const CCutReader&;
    static const std::vector<std::pair<std::string, CCutMaker>> kCuts = {
        {"roundBrilliant",
         [](R r) {
             return Brilliant(r, RoundGirdle(r.Count("mains", 8, 4, 32, 2)),
                              {.table = 0.53, .crownAngle = 34.5, .pavilionAngle = 40.75});
         }},
        {"princess", Princess},
        {"oval",
         [](R r) {
             return Brilliant(
                 r, OvalGirdle(r.Count("mains", 8, 4, 32, 2), r.Number("ratio", 1.4, 1.0, 4.0)),
                 {.table = 0.57, .crownHeight = 0.13, .pavilionDepth = 0.45});
         }},
        {"marquise",
         [](R r) {
             return Brilliant(r, MarquiseGirdle(r.Number("ratio", 2.0, 1.2, 4.0)),
                              {.table = 0.57, .crownHeight = 0.13, .pavilionDepth = 0.46});
         }},
        {"pear",
         [](R r) {
             return Brilliant(r, PearGirdle(r.Number("ratio", 1.55, 1.2, 3.0)),
                              {.table = 0.57, .crownHeight = 0.13, .pavilionDepth = 0.46});
         }},
        {"heart",
         [](R r) {
             return Brilliant(
                 r,
                 HeartGirdle(r.Number("ratio", 1.0, 0.8, 1.3), r.Number("lobe", 0.28, 0.26, 0.45)),
                 {.table = 0.57, .crownHeight = 0.13, .pavilionDepth = 0.45});
         }},
        {"emerald",
         [](R r) {
             return StepCut(r, 1.4, 0.15, 0.65, {45, 35, 25}, {50, 45, 40});
         }},
        {"baguette",
         [](R r) {
             return StepCut(r, 3.0, 0.0, 0.70, {45, 30}, {50, 40});
         }},
        {"cushion",
         [](R r) {
             return Brilliant(
                 r,
                 CushionGirdle(r.Count("mains", 8, 4, 32, 2), r.Number("ratio", 1.0, 1.0, 2.0),
                               r.Number("squareness", 4.0, 2.0, 12.0)),
                 {.table = 0.60, .crownHeight = 0.14, .pavilionDepth = 0.50});
         }},
        {"trillion",
         [](R r) {
             return Brilliant(r,
                              TrillionGirdle(r.Number("ratio", 0.93, 0.7, 1.2),
                                             r.Number("bulge", 0.06, 0.0, 0.2)),
                              {.table = 0.60, .crownHeight = 0.10, .pavilionDepth = 0.33});
         }},
        {"cabochon", Cabochon},
        {"pearl", Pearl},
    };
    return kCuts;
}

}  // namespace

std::unique_ptr<CPolyMesh> GemCutFromJson(const json& cut) {
    if (!cut.is_object() || !cut.contains("cut") || !cut.at("cut").is_string()) {
        throw CDescriptionError("a cut needs a \"cut\" name: " + cut.dump().substr(0, 80));
    }
    const std::string name = cut.at("cut").get<std::string>();
    for (const auto& [known, make] : CutMakers()) {
        if (name == known) {
            return make(CCutReader(cut));
        }
    }
    throw CDescriptionError("unknown cut \"" + name + "\"");
}

CObjectList GemCutsFromJson(const json& document) {
    const json cuts = document.value("cuts", json::array());
    if (!cuts.is_array()) {
        throw CDescriptionError("\"cuts\" must be an array");
    }
    CObjectList list;
    CListBuilder builder(list.first);
    for (const json& cut : cuts) {
        builder.Append(GemCutFromJson(cut).release());
    }
    return list;
}

}  // namespace orva
