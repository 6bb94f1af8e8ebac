#include "scene/object_signature.h"

#include <bit>
#include <span>

#include "scene/curve.h"
#include "scene/extrusion.h"
#include "scene/poly_mesh.h"
#include "scene/surface.h"

namespace orva {

namespace {

class CWords {
public:
    explicit CWords(std::vector<uint32_t>& words) : m_words(words) { m_words.clear(); }

    void Int(int32_t v) { m_words.push_back(static_cast<uint32_t>(v)); }
    void Float(float v) { m_words.push_back(std::bit_cast<uint32_t>(v)); }
    void Points(std::span<const CVector3> points) {
        Int(static_cast<int32_t>(points.size()));
        for (const CVector3& p : points) {
            Float(p.x), Float(p.y), Float(p.z);
        }
    }
    void Ints(std::span<const int32_t> values) {
        Int(static_cast<int32_t>(values.size()));
        for (const int32_t v : values) {
            Int(v);
        }
    }
    void Matrix(const CMatrix4& m) {
        for (const float v : m.m) {
            Float(v);
        }
    }
    void Direction(const CSurfaceDirection& d) {
        Int(d.freeStart), Int(d.freeEnd), Int(d.closed), Int(d.stepsPerSpan);
    }
    void Surface(const CSurface& s) {
        Int(kTypeSurface), Int(s.nu), Int(s.nv), Int(s.orientation);
        Direction(s.u);
        Direction(s.v);
        Points(s.points);
    }
    void Curve(const CCurve& c) {
        Int(kTypeCurve), Int(c.stepsPerSpan);
        Points(c.points);
    }

private:
    std::vector<uint32_t>& m_words;
};

}  // namespace

void ObjectSignature(const CSceneObject& object, std::vector<uint32_t>& words) {
    CWords w(words);
    if (const auto* s = dynamic_cast<const CSurface*>(&object)) {
        w.Surface(*s);
    } else if (const auto* m = dynamic_cast<const CPolyMesh*>(&object)) {
        w.Int(kTypePolyMesh), w.Int(m->flatShading);
        w.Ints(m->polygonSizes);
        w.Ints(m->vertexIndices);
        w.Points(m->points);
    } else if (const auto* e = dynamic_cast<const CExtrusion*>(&object)) {
        w.Int(kTypeExtrusion), w.Int(e->extrusionAxis);
        w.Matrix(e->placement);
        for (const CSceneObject* o = e->surfaces.first; o != nullptr; o = o->next) {
            if (const auto* s = dynamic_cast<const CSurface*>(o)) {
                w.Surface(*s);
            }
        }
        for (const CSceneObject* o = e->curves.first; o != nullptr; o = o->next) {
            if (const auto* c = dynamic_cast<const CCurve*>(o)) {
                w.Curve(*c);
            }
        }
    }
}

}  // namespace orva
