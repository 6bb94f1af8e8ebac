#pragma once

// Builds scene, gem library and material bytes in memory for tests, with the same writer
// that orvgen uses, and reads them back.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "json_scene.h"
#include "scene/byte_reader.h"
#include "scene/byte_writer.h"
#include "scene/object_class.h"
#include "scene/scene_file.h"
#include "scene/scene_object.h"

namespace orva::test {

using nlohmann::json;

// Scene bytes for the objects described by a JSON array.
inline std::vector<uint8_t> SceneBytes(const json& objects) {
    return FileBytesFromJson(json{{"format", "scene"}, {"objects", objects}});
}

// A scrambled stream assembled by hand: signature, then whatever the test writes.
class CSceneStream {
public:
    CSceneStream() : m_out(m_sink, true) {
        for (const char* c = kSceneSignature; *c != '\0'; ++c) {
            m_out.WriteByte(static_cast<uint8_t>(*c));
        }
    }
    CByteWriter& out() { return m_out; }
    // ":" + type id + record of the object described.
    CSceneStream& Object(const json& description, uint8_t control = ':') {
        m_out.WriteByte(control);
        WriteObject(m_out, *ObjectFromJson(description));
        return *this;
    }
    CSceneStream& Byte(uint8_t b) {
        m_out.WriteByte(b);
        return *this;
    }
    CSceneStream& End() { return Byte('&'); }
    const std::vector<uint8_t>& bytes() const { return m_sink.data; }

private:
    CMemorySink m_sink;
    CByteWriter m_out;
};

// The result of reading a top-level list from memory.
struct CReadResult {
    int32_t count = 0;
    CObjectList objects;
    CLoadReport report;
    const CSceneObject* At(int index) const {
        const CSceneObject* o = objects.first;
        for (int i = 0; i < index && o != nullptr; ++i) {
            o = o->next;
        }
        return o;
    }
};

inline CReadResult ReadScene(const std::vector<uint8_t>& bytes) {
    CReadResult result;
    CByteReader in(bytes);
    CSceneObject* first = nullptr;
    result.count = ReadObjectList(in, first, true, &result.report);
    result.objects.Adopt(first);
    return result;
}

// Writes bytes to a fresh file under the test's temporary folder and returns its path.
std::string WriteTempFile(const std::string& name, const std::vector<uint8_t>& bytes);

// A 4x4 matrix as the 16 numbers of a JSON description.
json MatrixJson(const CMatrix4& m);

}  // namespace orva::test
