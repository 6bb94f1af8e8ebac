#pragma once

#include <set>
#include <string>

namespace orva {

class CSceneObject;

// Every material name a render tree of the objects from `first` up to (not including) `stop`
// may ask for: the names of the shown objects, of the shown members of their groups at any
// depth, and the names gems lend to their library shapes. Objects outside a part of the
// picture count too, so one set serves every part. Absent and empty names are left out: they
// stand for the default material, which has no file.
std::set<std::string> MaterialNamesOf(const CSceneObject* first, const CSceneObject* stop);

}  // namespace orva
