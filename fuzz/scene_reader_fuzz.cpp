// Feeds arbitrary bytes to the scene reader and exercises every object it makes: measuring,
// copying, moving, writing and deleting must hold for whatever a file holds.
#include <cstddef>
#include <cstdint>

#include "scene/byte_reader.h"
#include "scene/byte_writer.h"
#include "scene/object_class.h"
#include "scene/scene_file.h"
#include "scene/scene_object.h"

namespace {

void Exercise(orva::CSceneObject* first) {
    orva::CDiscardingSink sink;
    orva::CByteWriter out(sink);
    const orva::CMatrix4 scale = orva::CMatrix4::Scaling(2, 3, 4);
    for (orva::CSceneObject* o = first; o != nullptr; o = o->next) {
        orva::CVector3 min;
        orva::CVector3 max;
        o->GetBounds(min, max, scale);
        std::unique_ptr<orva::CSceneObject> copy = o->Clone();
        copy->Transform(scale, 0);
        copy->Transform(scale, 1);
        orva::WriteObject(out, *copy);
        copy->SwapContents(*o);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Signature or not: the fuzzer gets past it either way.
    for (bool withSignature : {true, false}) {
        orva::CByteReader in({data, size});
        orva::CSceneObject* first = nullptr;
        if (orva::ReadObjectList(in, first, withSignature) >= 0) {
            orva::CObjectList list;
            list.Adopt(first);
            Exercise(list.first);
        }
    }
    return 0;
}
