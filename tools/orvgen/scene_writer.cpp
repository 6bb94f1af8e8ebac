#include "scene_writer.h"

#include <cstdio>
#include <cstring>

#include "scene/byte_writer.h"
#include "scene/object_class.h"
#include "scene/scene_file.h"
#include "scene/scene_object.h"

namespace orva {

namespace {

void WriteSignature(CByteWriter& out, const char* signature) {
    for (size_t i = 0; i < std::strlen(signature); ++i) {
        out.WriteByte(static_cast<uint8_t>(signature[i]));
    }
}

std::vector<uint8_t> WriteList(const CSceneObject* first, const char* signature, uint8_t end,
                               bool scrambled) {
    CMemorySink sink;
    CByteWriter out(sink, scrambled);
    WriteSignature(out, signature);
    for (const CSceneObject* o = first; o != nullptr; o = o->next) {
        out.WriteByte(':');
        WriteObject(out, *o);
    }
    out.WriteByte(end);
    return std::move(sink.data);
}

}  // namespace

std::vector<uint8_t> WriteSceneBytes(const CSceneObject* first) {
    return WriteList(first, kSceneSignature, '&', true);
}

std::vector<uint8_t> WriteGemLibraryBytes(const CSceneObject* first) {
    return WriteList(first, "BRONTALESIGN0100", '#', false);
}

std::vector<uint8_t> WriteMaterialBytes(const CMaterialDescription& material) {
    CMemorySink sink;
    CByteWriter out(sink, false);
    WriteSignature(out, "BRONTALEMATL0100");
    for (const auto* colour : {&material.ambient, &material.base, &material.highlight}) {
        for (int32_t component : *colour) {
            out.WriteInt32(component);
        }
    }
    out.WriteInt32(material.shininess);
    out.WriteInt32(material.transparency);
    for (const std::string& map : material.maps) {
        out.WriteCountedString(map.c_str());
    }
    return std::move(sink.data);
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    // An empty file has no bytes to hand over, and fwrite may not be given a null buffer.
    const bool written =
        bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace orva
