#pragma once

#include <string>

#include "scene/gem_library.h"
#include "scene/material_file.h"

namespace orva::test {

// While it lives, renders use the gem library and materials the build ships beside the
// programs; the previous ones come back afterwards.
class CShippedData {
public:
    CShippedData() : m_gemLibrary(GemLibrary().Path()), m_materials(MaterialDirectory()) {
        GemLibrary().SetPath(ORVA_GEMLIB);
        SetMaterialDirectory(ORVA_MATERIAL_DIR);
    }
    ~CShippedData() {
        GemLibrary().SetPath(m_gemLibrary);
        SetMaterialDirectory(m_materials);
    }
    CShippedData(const CShippedData&) = delete;
    CShippedData& operator=(const CShippedData&) = delete;

private:
    std::string m_gemLibrary;
    std::string m_materials;
};

}  // namespace orva::test
