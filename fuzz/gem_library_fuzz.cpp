// Feeds arbitrary bytes to the gem library reader (plain mode) and measures every shape.
#include <cstddef>
#include <cstdint>

#include "scene/byte_reader.h"
#include "scene/gem_library.h"
#include "scene/scene_object.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    orva::CByteReader in({data, size});
    in.SetScrambledReading(false);
    orva::CObjectList shapes;
    if (orva::CGemLibrary::ReadShapeList(in, shapes) > 0) {
        for (const orva::CSceneObject* s = shapes.first; s != nullptr; s = s->next) {
            orva::CVector3 min;
            orva::CVector3 max;
            s->GetBounds(min, max, orva::CMatrix4::Identity());
            s->Clone();
        }
    }
    return 0;
}
