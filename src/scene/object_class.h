#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace orva {

class CByteReader;
class CByteWriter;
class CSceneObject;

// Describes one object class by the type id that names it in files. The registry chains the
// descriptors of the seven classes, head first: reference plane, surface, extrusion, polygon
// mesh, gem, curve, group.
class CObjectClass {
public:
    CObjectClass(int32_t typeId, const CObjectClass* next) : next(next), typeId(typeId) {}
    virtual ~CObjectClass() = default;
    // A new object of the class with its default field values.
    virtual std::unique_ptr<CSceneObject> Create() const = 0;

    const CObjectClass* const next;
    const int32_t typeId;
};

// The name files and reports give the type: "curve", "surface", "polyMesh", "extrusion",
// "group", "refPlane", "gem", or the number of an unknown type.
std::string ObjectTypeName(int32_t typeId);

// Head of the registry chain; complete before any file is read, never changed afterwards.
const CObjectClass* ObjectClassRegistry();
// The first descriptor with the type id, or null when the id is not registered.
const CObjectClass* FindObjectClass(int32_t typeId);

// Reads an int32 type id and, for a registered class, the record of that class. Returns null
// for an unregistered id (only its four bytes are consumed, so the caller resynchronises on
// the record's bytes) and for a record that the stream cut short or that cannot be what it
// claims (the reader is stopped then, and the part read is dropped).
std::unique_ptr<CSceneObject> ReadObject(CByteReader& in);
// Writes the object's type id and its record.
void WriteObject(CByteWriter& out, const CSceneObject& object);

}  // namespace orva
