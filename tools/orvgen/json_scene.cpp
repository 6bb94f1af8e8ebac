#include "json_scene.h"

#include "gem_cuts.h"
#include "scene/curve.h"
#include "scene/extrusion.h"
#include "scene/gem.h"
#include "scene/group.h"
#include "scene/name_pool.h"
#include "scene/poly_mesh.h"
#include "scene/ref_plane.h"
#include "scene/surface.h"

namespace orva {

namespace {

using nlohmann::json;

int32_t TypeIdOf(const json& type) {
    if (type.is_number_integer()) {
        return type.get<int32_t>();
    }
    static const std::pair<const char*, int32_t> kNames[] = {{"curve", kTypeCurve},
                                                             {"surface", kTypeSurface},
                                                             {"polyMesh", kTypePolyMesh},
                                                             {"extrusion", kTypeExtrusion},
                                                             {"group", kTypeGroup},
                                                             {"refPlane", kTypeRefPlane},
                                                             {"gem", kTypeGem}};
    const std::string name = type.get<std::string>();
    for (const auto& [known, id] : kNames) {
        if (name == known) {
            return id;
        }
    }
    throw CDescriptionError("unknown object type \"" + name + "\"");
}

// Integer field that may also be written as a boolean.
int32_t IntField(const json& d, const char* key, int32_t fallback) {
    if (!d.contains(key)) {
        return fallback;
    }
    const json& value = d.at(key);
    return value.is_boolean() ? (value.get<bool>() ? 1 : 0) : value.get<int32_t>();
}

float RealField(const json& d, const char* key, float fallback) {
    return d.contains(key) ? d.at(key).get<float>() : fallback;
}

CVector3 PointOf(const json& p) {
    if (!p.is_array() || p.size() != 3) {
        throw CDescriptionError("a point is an array of three numbers: " + p.dump());
    }
    return CVector3(p[0].get<float>(), p[1].get<float>(), p[2].get<float>());
}

std::vector<CVector3> PointsOf(const json& array) {
    std::vector<CVector3> points;
    for (const json& p : array) {
        points.push_back(PointOf(p));
    }
    return points;
}

CMatrix4 MatrixField(const json& d, const char* key) {
    CMatrix4 m;
    if (!d.contains(key)) {
        return m;
    }
    const json& values = d.at(key);
    if (!values.is_array() || values.size() != 16) {
        throw CDescriptionError(std::string(key) + " must hold 16 numbers");
    }
    for (int i = 0; i < 16; ++i) {
        m[i] = values[static_cast<size_t>(i)].get<float>();
    }
    return m;
}

void FillBase(CSceneObject& o, const json& d) {
    o.displayState = IntField(d, "state", 0);
    o.colourIndex = IntField(d, "colour", 0);
    o.frame = MatrixField(d, "frame");
    o.flagWord = IntField(d, "reserved", 0) & 1;
    o.neverCut = IntField(d, "neverCut", 0);
    o.cutter = IntField(d, "cutter", 0);
    o.materialValue = IntField(d, "materialValue", 0);
    o.materialMatrix = MatrixField(d, "materialMatrix");
    if (d.contains("material") && d.at("material").is_string()) {
        o.materialName = NamePool().RegisterName(d.at("material").get<std::string>());
    }
}

void FillPoints(CPointSetObject& o, const json& d) {
    o.points = d.contains("points") ? PointsOf(d.at("points")) : std::vector<CVector3>{};
    o.selection.assign(o.points.size(), 0);
    if (d.contains("selected")) {
        const json& selected = d.at("selected");
        for (size_t i = 0; i < selected.size() && i < o.selection.size(); ++i) {
            o.selection[i] = selected[i].get<int32_t>();
        }
    }
    o.netHidden = IntField(d, "netHidden", o.netHidden);
}

void FillCurve(CCurve& c, const json& d) {
    FillPoints(c, d);
    c.freeStart = IntField(d, "freeStart", 0);
    c.freeEnd = IntField(d, "freeEnd", 0);
    c.closed = IntField(d, "closed", 0);
    c.stepsPerSpan = IntField(d, "steps", 8);
}

void FillDirection(CSurfaceDirection& dir, const json& d, const std::string& suffix) {
    dir.freeStart = IntField(d, ("freeStart" + suffix).c_str(), 0);
    dir.freeEnd = IntField(d, ("freeEnd" + suffix).c_str(), 0);
    dir.closed = IntField(d, ("closed" + suffix).c_str(), 0);
    dir.stepsPerSpan = IntField(d, ("steps" + suffix).c_str(), 8);
    dir.reservedSteps = IntField(d, ("reservedSteps" + suffix).c_str(), 8);
}

void FillSurface(CSurface& s, const json& d) {
    FillPoints(s, d);
    s.nu = IntField(d, "nu", 0);
    s.nv = IntField(d, "nv", 0);
    FillDirection(s.u, d, "U");
    FillDirection(s.v, d, "V");
    s.orientation = IntField(d, "orientation", 1);
    s.reservedFlag = IntField(d, "reservedFlag", 0);
    if (d.contains("loops")) {
        for (const json& l : d.at("loops")) {
            CSurfaceLoop loop;
            loop.value = IntField(l, "value", 0);
            for (const json& pair : l.value("pairs", json::array())) {
                loop.pairs.push_back(pair.at(0).get<int32_t>());
                loop.pairs.push_back(pair.at(1).get<int32_t>());
            }
            s.loops.push_back(std::move(loop));
        }
    }
}

void FillPolyMesh(CPolyMesh& m, const json& d) {
    FillPoints(m, d);
    for (const json& polygon : d.value("polygons", json::array())) {
        m.polygonSizes.push_back(static_cast<int32_t>(polygon.size()));
        for (const json& index : polygon) {
            m.vertexIndices.push_back(index.get<int32_t>());
        }
    }
    m.flatShading = IntField(d, "flat", 1);
    m.orientation = IntField(d, "orientation", 1);
}

void FillExtrusion(CExtrusion& e, const json& d) {
    e.placement = MatrixField(d, "placement");
    const json axes = d.value("axes", json::array({0, 1, 2}));
    e.firstPlaneAxis = axes.at(0).get<int32_t>();
    e.secondPlaneAxis = axes.at(1).get<int32_t>();
    e.extrusionAxis = axes.at(2).get<int32_t>();
    e.topBevel = IntField(d, "topBevel", kBevelNone);
    e.bottomBevel = IntField(d, "bottomBevel", kBevelNone);
    e.depth = RealField(d, "depth", 0.0f);
    e.bevelSize = RealField(d, "bevelSize", 0.0f);
    for (const json& profile : d.value("profiles", json::array())) {
        const std::vector<CVector3> points = PointsOf(profile.at("points"));
        e.pointCounts.push_back(static_cast<int32_t>(points.size()));
        e.stepsPerSpan.push_back(IntField(profile, "steps", 8));
        e.profilePoints.insert(e.profilePoints.end(), points.begin(), points.end());
    }
}

void FillGroup(CGroup& g, const json& d) {
    g.placement = MatrixField(d, "placement");
    g.kind = IntField(d, "kind", kGroupUnion);
    g.baseMarked = IntField(d, "baseMarked", 0);
    g.children = ObjectListFromJson(d.value("children", json::array()));
}

}  // namespace

std::unique_ptr<CSceneObject> ObjectFromJson(const json& d) {
    if (!d.is_object() || !d.contains("type")) {
        throw CDescriptionError("an object needs a \"type\": " + d.dump().substr(0, 80));
    }
    switch (TypeIdOf(d.at("type"))) {
        case kTypeCurve: {
            auto c = std::make_unique<CCurve>();
            FillBase(*c, d);
            FillCurve(*c, d);
            return c;
        }
        case kTypeSurface: {
            auto s = std::make_unique<CSurface>();
            FillBase(*s, d);
            FillSurface(*s, d);
            return s;
        }
        case kTypePolyMesh: {
            auto m = std::make_unique<CPolyMesh>();
            FillBase(*m, d);
            FillPolyMesh(*m, d);
            return m;
        }
        case kTypeExtrusion: {
            auto e = std::make_unique<CExtrusion>();
            FillBase(*e, d);
            FillExtrusion(*e, d);
            return e;
        }
        case kTypeGroup: {
            auto g = std::make_unique<CGroup>();
            FillBase(*g, d);
            FillGroup(*g, d);
            return g;
        }
        case kTypeRefPlane: {
            auto r = std::make_unique<CRefPlane>();
            FillBase(*r, d);
            r->axis = IntField(d, "axis", 2);
            return r;
        }
        case kTypeGem: {
            auto g = std::make_unique<CGem>();
            FillBase(*g, d);
            g->placement = MatrixField(d, "placement");
            g->gemIndex = IntField(d, "gem", 0);
            return g;
        }
        default:
            throw CDescriptionError("unknown type id " + d.at("type").dump());
    }
}

CObjectList ObjectListFromJson(const json& array) {
    CObjectList list;
    CListBuilder builder(list.first);
    for (const json& d : array) {
        builder.Append(ObjectFromJson(d).release());
    }
    return list;
}

CMaterialDescription MaterialFromJson(const json& d) {
    CMaterialDescription m;
    auto colour = [&d](const char* key, std::array<int32_t, 3>& out) {
        if (d.contains(key)) {
            for (size_t i = 0; i < 3; ++i) {
                out[i] = d.at(key).at(i).get<int32_t>();
            }
        }
    };
    colour("ambient", m.ambient);
    colour("base", m.base);
    colour("highlight", m.highlight);
    m.shininess = IntField(d, "shininess", m.shininess);
    m.transparency = IntField(d, "transparency", m.transparency);
    const char* kMapKeys[4] = {"colourMap", "bumpMap", "reflectionMap", "glossMap"};
    for (size_t i = 0; i < 4; ++i) {
        m.maps[i] = d.value(kMapKeys[i], std::string());
    }
    return m;
}

std::vector<uint8_t> FileBytesFromJson(const json& document) {
    const std::string format = document.value("format", std::string("scene"));
    if (format == "material") {
        return WriteMaterialBytes(MaterialFromJson(document));
    }
    if (format == "gemcuts") {
        return WriteGemLibraryBytes(GemCutsFromJson(document).first);
    }
    const CObjectList objects = ObjectListFromJson(document.value("objects", json::array()));
    if (format == "gemlib") {
        return WriteGemLibraryBytes(objects.first);
    }
    if (format == "scene") {
        return WriteSceneBytes(objects.first);
    }
    throw CDescriptionError("unknown format \"" + format +
                            "\" (scene, gemlib, gemcuts, material; materials writes a folder)");
}

}  // namespace orva
