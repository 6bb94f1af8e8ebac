#include "cli/scene_summary.h"

#include <cstdio>
#include <sstream>

#include "scene/curve.h"
#include "scene/extrusion.h"
#include "scene/gem.h"
#include "scene/group.h"
#include "scene/object_class.h"
#include "scene/poly_mesh.h"
#include "scene/ref_plane.h"
#include "scene/surface.h"

namespace orva {

namespace {

using json = nlohmann::ordered_json;

json Point(const CVector3& p) {
    return json::array({p.x, p.y, p.z});
}

json Box(const CVector3& min, const CVector3& max) {
    if (BoundsEmpty(min, max)) {
        return nullptr;
    }
    return json{{"min", Point(min)}, {"max", Point(max)}};
}

void DescribeClass(const CCurve& c, json& d) {
    d["points"] = c.PointCount();
    d["closed"] = c.closed;
    d["freeStart"] = c.freeStart;
    d["freeEnd"] = c.freeEnd;
    d["steps"] = c.stepsPerSpan;
}

void DescribeClass(const CSurface& s, json& d) {
    d["points"] = s.PointCount();
    d["nu"] = s.nu;
    d["nv"] = s.nv;
    d["closedU"] = s.u.closed;
    d["closedV"] = s.v.closed;
    d["stepsU"] = s.u.stepsPerSpan;
    d["stepsV"] = s.v.stepsPerSpan;
    d["orientation"] = s.orientation;
    d["loops"] = s.loops.size();
}

void DescribeClass(const CPolyMesh& m, json& d) {
    d["points"] = m.PointCount();
    d["polygons"] = m.PolygonCount();
    d["indices"] = m.vertexIndices.size();
    d["flat"] = m.flatShading;
    d["orientation"] = m.orientation;
    d["netHidden"] = m.netHidden;
}

void DescribeClass(const CExtrusion& e, json& d) {
    d["profiles"] = e.ProfileCount();
    d["surfaces"] = e.surfaces.Count();
    d["curves"] = e.curves.Count();
}

void DescribeClass(const CGroup& g, json& d) {
    d["kind"] = g.kind;
    d["baseMarked"] = g.baseMarked != 0;
    json children = json::array();
    for (const CSceneObject* c = g.children.first; c != nullptr; c = c->next) {
        children.push_back(DescribeObject(*c));
    }
    d["children"] = std::move(children);
}

std::string FormatBox(const json& box) {
    if (box.is_null()) {
        return "-";
    }
    char text[160];
    std::snprintf(text, sizeof text, "(%g, %g, %g) .. (%g, %g, %g)", box["min"][0].get<double>(),
                  box["min"][1].get<double>(), box["min"][2].get<double>(),
                  box["max"][0].get<double>(), box["max"][1].get<double>(),
                  box["max"][2].get<double>());
    return text;
}

// What the object does where parts meet: a cutter is cut away from the other parts, a
// never-cut part is left whole by every cutter.
const char* Role(const json& o) {
    return o["cutter"].get<bool>() ? "cutter" : (o["neverCut"].get<bool>() ? "never cut" : "-");
}

void FormatObjects(std::ostringstream& out, const json& objects, const std::string& indent) {
    int index = 0;
    for (const json& o : objects) {
        char line[200];
        const std::string material =
            o["material"].is_null() ? "-" : o["material"].get<std::string>();
        std::snprintf(line, sizeof line, "%s%-4d %-10s %6d %6d  %-16s %-9s  ", indent.c_str(),
                      index++, o["class"].get<std::string>().c_str(), o["state"].get<int>(),
                      o["colour"].get<int>(), material.c_str(), Role(o));
        out << line << FormatBox(o["bounds"]) << "\n";
        if (o.contains("children")) {
            FormatObjects(out, o["children"], indent + "  ");
        }
    }
}

}  // namespace

json DescribeObject(const CSceneObject& o) {
    json d;
    d["type"] = o.GetTypeId();
    d["class"] = ObjectTypeName(o.GetTypeId());
    d["state"] = o.displayState;
    d["colour"] = o.colourIndex;
    d["material"] = o.materialName != nullptr ? json(o.materialName) : json(nullptr);
    d["materialValue"] = o.materialValue;
    d["neverCut"] = o.neverCut != 0;
    d["cutter"] = o.cutter != 0;
    CVector3 min;
    CVector3 max;
    ResetBounds(min, max);
    o.GetBounds(min, max, CMatrix4::Identity());
    d["bounds"] = Box(min, max);
    if (auto* c = dynamic_cast<const CCurve*>(&o)) {
        DescribeClass(*c, d);
    } else if (auto* s = dynamic_cast<const CSurface*>(&o)) {
        DescribeClass(*s, d);
    } else if (auto* m = dynamic_cast<const CPolyMesh*>(&o)) {
        DescribeClass(*m, d);
    } else if (auto* e = dynamic_cast<const CExtrusion*>(&o)) {
        DescribeClass(*e, d);
    } else if (auto* g = dynamic_cast<const CGroup*>(&o)) {
        DescribeClass(*g, d);
    } else if (auto* r = dynamic_cast<const CRefPlane*>(&o)) {
        d["axis"] = r->axis;
    } else if (auto* gem = dynamic_cast<const CGem*>(&o)) {
        d["gem"] = gem->gemIndex;
    }
    return d;
}

json SceneBounds(const CSceneObject* first) {
    CVector3 min(1e32f, 1e32f, 1e32f);
    CVector3 max(-1e32f, -1e32f, -1e32f);
    for (const CSceneObject* o = first; o != nullptr; o = o->next) {
        if (o->IsShown() && o->GetTypeId() != kTypeRefPlane) {
            CVector3 lo;
            CVector3 hi;
            ResetBounds(lo, hi);
            o->GetBounds(lo, hi, CMatrix4::Identity());
            MergeBounds(min, max, lo, hi);
        }
    }
    return Box(min, max);
}

json DescribeScene(const CSceneAnchor& scene, const CLoadReport& load) {
    static const char* kStatus[] = {"ok", "invalid", "unreadable"};
    json report;
    report["status"] = kStatus[load.status];
    report["objects"] = json::array();
    report["bounds"] = nullptr;
    if (load.status == CLoadReport::kOk) {
        for (const CSceneObject* o = scene.first; o != nullptr; o = o->next) {
            report["objects"].push_back(DescribeObject(*o));
        }
        report["bounds"] = SceneBounds(scene.first);
    }
    return report;
}

std::string FormatSceneTable(const json& report) {
    std::ostringstream out;
    out << "status: " << report["status"].get<std::string>() << "\n";
    out << "objects: " << report["objects"].size() << " at the top level\n";
    out << "bounds: " << FormatBox(report["bounds"]) << "\n";
    if (!report["objects"].empty()) {
        out << "\n# is the place in the list or group (a group's parts indented below it); "
               "state 0 shown, 1 highlighted, others hidden; colour the layer colour's number; "
               "role: cutter (cut away from the other parts) or never cut (left whole by cutters); "
               "bounds in "
               "model units\n";
        out << "#    class       state colour  material          role       bounds\n";
        FormatObjects(out, report["objects"], "");
    }
    return out.str();
}

}  // namespace orva
