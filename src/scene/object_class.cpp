#include "scene/object_class.h"

#include "scene/byte_reader.h"
#include "scene/byte_writer.h"
#include "scene/curve.h"
#include "scene/extrusion.h"
#include "scene/gem.h"
#include "scene/group.h"
#include "scene/poly_mesh.h"
#include "scene/ref_plane.h"
#include "scene/surface.h"

namespace orva {

namespace {

template <class T>
class CObjectClassOf final : public CObjectClass {
public:
    CObjectClassOf(int32_t typeId, const CObjectClass* next) : CObjectClass(typeId, next) {}
    std::unique_ptr<CSceneObject> Create() const override { return std::make_unique<T>(); }
};

// Each descriptor goes in front of the ones built before it, so the chain runs from the
// last one built to the first.
struct CRegistry {
    CObjectClassOf<CGroup> group{kTypeGroup, nullptr};
    CObjectClassOf<CCurve> curve{kTypeCurve, &group};
    CObjectClassOf<CGem> gem{kTypeGem, &curve};
    CObjectClassOf<CPolyMesh> polyMesh{kTypePolyMesh, &gem};
    CObjectClassOf<CExtrusion> extrusion{kTypeExtrusion, &polyMesh};
    CObjectClassOf<CSurface> surface{kTypeSurface, &extrusion};
    CObjectClassOf<CRefPlane> refPlane{kTypeRefPlane, &surface};
};

}  // namespace

const CObjectClass* ObjectClassRegistry() {
    static const CRegistry registry;
    return &registry.refPlane;
}

const CObjectClass* FindObjectClass(int32_t typeId) {
    for (const CObjectClass* c = ObjectClassRegistry(); c != nullptr; c = c->next) {
        if (c->typeId == typeId) {
            return c;
        }
    }
    return nullptr;
}

std::unique_ptr<CSceneObject> ReadObject(CByteReader& in) {
    const int32_t typeId = in.ReadInt32();
    if (in.Failed()) {
        return nullptr;
    }
    const CObjectClass* objectClass = FindObjectClass(typeId);
    if (objectClass == nullptr) {
        return nullptr;
    }
    std::unique_ptr<CSceneObject> object = objectClass->Create();
    object->Read(in);
    if (in.Failed()) {
        return nullptr;
    }
    return object;
}

void WriteObject(CByteWriter& out, const CSceneObject& object) {
    out.WriteInt32(object.GetTypeId());
    object.Write(out);
}

std::string ObjectTypeName(int32_t typeId) {
    switch (typeId) {
        case kTypeCurve:
            return "curve";
        case kTypeSurface:
            return "surface";
        case kTypePolyMesh:
            return "polyMesh";
        case kTypeExtrusion:
            return "extrusion";
        case kTypeGroup:
            return "group";
        case kTypeRefPlane:
            return "refPlane";
        case kTypeGem:
            return "gem";
        default:
            return std::to_string(typeId);
    }
}

}  // namespace orva
