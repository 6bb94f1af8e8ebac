#pragma once

#include <cstdint>
#include <vector>

namespace orva {

class CSceneObject;

// Every value the shaded parts of an object are built from, bit for bit, in `words` (replacing
// what it held). Two equal signatures give the same parts.
void ObjectSignature(const CSceneObject& object, std::vector<uint32_t>& words);

}  // namespace orva
