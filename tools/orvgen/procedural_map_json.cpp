#include "procedural_map_json.h"

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>

#include "json_scene.h"
#include "scattered_lights.h"

namespace orva {

namespace {

using nlohmann::json;

[[noreturn]] void Fail(const std::string& map, const std::string& message) {
    throw CDescriptionError("map \"" + map + "\": " + message);
}

// A misspelt field would otherwise be ignored and leave its default in the picture.
void CheckKeys(const std::string& map, const json& d, std::initializer_list<const char*> known,
               const char* where) {
    for (const auto& item : d.items()) {
        if (std::none_of(known.begin(), known.end(),
                         [&](const char* k) { return item.key() == k; })) {
            Fail(map, std::string("unknown field \"") + item.key() + "\" in " + where);
        }
    }
}

float Number(const std::string& map, const json& d, const char* key, float fallback) {
    if (!d.contains(key)) {
        return fallback;
    }
    if (!d.at(key).is_number()) {
        Fail(map, std::string(key) + " must be a number");
    }
    return d.at(key).get<float>();
}

int64_t Integer(const std::string& map, const json& d, const char* key, int64_t fallback,
                int64_t lowest, int64_t highest) {
    if (!d.contains(key)) {
        return fallback;
    }
    if (!d.at(key).is_number_integer() || d.at(key).get<int64_t>() < lowest ||
        d.at(key).get<int64_t>() > highest) {
        Fail(map, std::string(key) + " must be a whole number from " + std::to_string(lowest) +
                      " to " + std::to_string(highest));
    }
    return d.at(key).get<int64_t>();
}

CVector3 Colour(const std::string& map, const json& d, const char* key, CVector3 fallback) {
    if (!d.contains(key)) {
        return fallback;
    }
    const json& c = d.at(key);
    if (!c.is_array() || c.size() != 3 ||
        !std::all_of(c.begin(), c.end(), [](const json& x) { return x.is_number(); })) {
        Fail(map, std::string(key) + " must be [red, green, blue]");
    }
    const CVector3 colour{c[0].get<float>(), c[1].get<float>(), c[2].get<float>()};
    if (colour.x < 0.0f || colour.y < 0.0f || colour.z < 0.0f) {
        Fail(map, std::string(key) + " must not be negative");
    }
    return colour;
}

std::vector<CGradientStop> Gradient(const std::string& map, const json& d) {
    std::vector<CGradientStop> stops;
    for (const json& s : d.value("gradient", json::array())) {
        CheckKeys(map, s, {"elevation", "colour"}, "a gradient stop");
        stops.push_back({Number(map, s, "elevation", 0.0f), Colour(map, s, "colour", {})});
        if (stops.size() > 1 && stops.back().elevation < stops[stops.size() - 2].elevation) {
            Fail(map, "gradient stops must rise in elevation");
        }
    }
    return stops;
}

std::vector<CSoftbox> Softboxes(const std::string& map, const json& d) {
    std::vector<CSoftbox> boxes;
    for (const json& s : d.value("softboxes", json::array())) {
        CheckKeys(map, s, {"azimuth", "elevation", "width", "height", "softness", "colour"},
                  "a softbox");
        CSoftbox box;
        box.azimuth = Number(map, s, "azimuth", box.azimuth);
        box.elevation = Number(map, s, "elevation", box.elevation);
        box.width = Number(map, s, "width", box.width);
        box.height = Number(map, s, "height", box.height);
        box.softness = Number(map, s, "softness", box.softness);
        box.colour = Colour(map, s, "colour", box.colour);
        boxes.push_back(box);
    }
    return boxes;
}

// Lights strewn at random over a band of elevations, added after the named softboxes.
std::vector<CSoftbox> Scattered(const std::string& map, const json& d) {
    if (!d.contains("scatter")) {
        return {};
    }
    const json& s = d.at("scatter");
    CheckKeys(map, s,
              {"count", "seed", "size", "softness", "minElevation", "maxElevation", "colour"},
              "the scatter");
    CScatteredLights scatter;
    scatter.count = static_cast<int>(Integer(map, s, "count", 0, 0, 1000));
    scatter.seed = static_cast<uint32_t>(Integer(map, s, "seed", 1, 0, UINT32_MAX));
    scatter.size = Number(map, s, "size", scatter.size);
    scatter.softness = Number(map, s, "softness", scatter.softness);
    scatter.minElevation = Number(map, s, "minElevation", scatter.minElevation);
    scatter.maxElevation = Number(map, s, "maxElevation", scatter.maxElevation);
    scatter.colour = Colour(map, s, "colour", scatter.colour);
    return ScatterLights(scatter);
}

CMapSlot Slot(const std::string& map, const json& d) {
    const std::string slot = d.value("slot", std::string("reflection"));
    if (slot == "reflection") {
        return CMapSlot::kReflection;
    }
    if (slot == "gloss") {
        return CMapSlot::kGloss;
    }
    Fail(map, "slot must be \"reflection\" or \"gloss\"");
}

CProceduralMap MapFromFields(const std::string& name, const json& d) {
    CheckKeys(
        name, d,
        {"like", "size", "slot", "gradient", "softboxes", "scatter", "tint", "rim", "rimWidth"},
        "the map");
    CProceduralMap map;
    map.name = name;
    map.size = static_cast<int>(Integer(name, d, "size", map.size, 1, 4096));
    map.slot = Slot(name, d);
    map.studio.gradient = Gradient(name, d);
    map.studio.softboxes = Softboxes(name, d);
    for (const CSoftbox& light : Scattered(name, d)) {
        map.studio.softboxes.push_back(light);
    }
    map.tint = Colour(name, d, "tint", map.tint);
    map.rim = Colour(name, d, "rim", map.rim);
    map.rimWidth = std::clamp(Number(name, d, "rimWidth", map.rimWidth), 0.0f, 1.0f);
    return map;
}

// The fields of `name` with those of the map it is like underneath; arrays are replaced whole.
json ResolvedFields(const json& maps, const std::string& name, std::set<std::string>& visiting) {
    if (!maps.contains(name) || !maps.at(name).is_object()) {
        Fail(name, "no such map");
    }
    const json& own = maps.at(name);
    if (!own.contains("like")) {
        return own;
    }
    if (!visiting.insert(name).second) {
        Fail(name, "\"like\" leads round in a circle");
    }
    json fields = ResolvedFields(maps, own.at("like").get<std::string>(), visiting);
    fields.merge_patch(own);
    visiting.erase(name);
    return fields;
}

}  // namespace

std::vector<CProceduralMap> ProceduralMapsFromJson(const json& maps) {
    if (!maps.is_object()) {
        throw CDescriptionError("\"maps\" must be an object of named maps");
    }
    std::vector<CProceduralMap> result;
    for (const auto& item : maps.items()) {
        std::set<std::string> visiting;
        result.push_back(MapFromFields(item.key(), ResolvedFields(maps, item.key(), visiting)));
    }
    return result;
}

}  // namespace orva
