#include "material_set.h"

#include <strings.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "image/picture_writer.h"
#include "json_scene.h"
#include "procedural_map_json.h"
#include "scene/material_file.h"

namespace orva {

namespace {

using nlohmann::json;

// Material files name their maps with the extension, so the lookup in TxtrMap takes the name
// as it is.
std::string MapFileName(const std::string& mapName) {
    return mapName + ".bmp";
}

// Names become file names, and the material file stores map names of at most 255 characters.
void CheckFileName(const std::string& what, const std::string& name) {
    if (name.empty() || name.find_first_of("/\\") != std::string::npos ||
        name.size() + 4 > kMaxTextureNameLength) {
        throw CDescriptionError(what + " name \"" + name +
                                "\" must be a plain file name of at most 251 characters");
    }
}

void CheckRange(const std::string& material, const char* field, int32_t value, int32_t top) {
    if (value < 0 || value > top) {
        throw CDescriptionError("material \"" + material + "\": " + field + " must be 0.." +
                                std::to_string(top));
    }
}

void CheckValues(const std::string& name, const CMaterialDescription& m) {
    for (const auto& [field, colour] :
         {std::pair{"ambient", m.ambient}, {"base", m.base}, {"highlight", m.highlight}}) {
        for (int32_t component : colour) {
            CheckRange(name, field, component, 255);
        }
    }
    CheckRange(name, "shininess", m.shininess, 100);
    CheckRange(name, "transparency", m.transparency, 100);
}

void TakeMaps(const std::string& name, const json& maps, const std::vector<CProceduralMap>& known,
              CMaterialDescription& m) {
    const char* kSlots[4] = {"colour", "bump", "reflection", "gloss"};
    for (const auto& item : maps.items()) {
        const auto* slot = std::find_if(std::begin(kSlots), std::end(kSlots),
                                        [&](const char* s) { return item.key() == s; });
        if (slot == std::end(kSlots)) {
            throw CDescriptionError("material \"" + name + "\": unknown map slot \"" + item.key() +
                                    "\" (colour, bump, reflection, gloss)");
        }
        const std::string mapName = item.value().get<std::string>();
        if (std::none_of(known.begin(), known.end(),
                         [&](const CProceduralMap& p) { return p.name == mapName; })) {
            throw CDescriptionError("material \"" + name + "\": no map \"" + mapName + "\"");
        }
        m.maps[static_cast<size_t>(slot - std::begin(kSlots))] = MapFileName(mapName);
    }
}

void CheckMaterialName(const std::string& name) {
    CheckFileName("material", name);
    // The viewer adds ".mtl" only to names without an extension of their own, and the build
    // expects NAME.mtl.
    if (MaterialFileName(name) != name + ".mtl") {
        throw CDescriptionError("material name \"" + name + "\" must not end in an extension");
    }
}

// A misspelt field would otherwise be ignored and leave a default in the file.
void CheckMaterialFields(const std::string& name, const json& d) {
    static const char* kKnown[] = {"name",      "ambient",      "base", "highlight",
                                   "shininess", "transparency", "maps"};
    for (const auto& item : d.items()) {
        if (std::none_of(std::begin(kKnown), std::end(kKnown),
                         [&](const char* k) { return item.key() == k; })) {
            throw CDescriptionError("material \"" + name + "\": unknown field \"" + item.key() +
                                    "\"");
        }
    }
}

CNamedMaterial MaterialEntry(const json& d, const std::vector<CProceduralMap>& maps) {
    const std::string name = d.at("name").get<std::string>();
    CheckMaterialName(name);
    CheckMaterialFields(name, d);
    // The single-material reader takes the colours and percentages; maps are named by slot here.
    CNamedMaterial entry{name, MaterialFromJson(d)};
    CheckValues(name, entry.description);
    TakeMaps(name, d.value("maps", json::object()), maps, entry.description);
    return entry;
}

// Files are found ignoring case, so names differing in case only would collide.
void CheckUnique(const std::string& what, const std::vector<std::string>& names) {
    for (size_t i = 0; i < names.size(); ++i) {
        for (size_t j = i + 1; j < names.size(); ++j) {
            if (strcasecmp(names[i].c_str(), names[j].c_str()) == 0) {
                throw CDescriptionError(what + " \"" + names[j] + "\" is described twice");
            }
        }
    }
}

template <typename Named>
std::vector<std::string> NamesOf(const std::vector<Named>& items) {
    std::vector<std::string> names;
    for (const Named& item : items) {
        names.push_back(item.name);
    }
    return names;
}

}  // namespace

CMaterialSet MaterialSetFromJson(const json& document) {
    CMaterialSet set;
    set.maps = ProceduralMapsFromJson(document.value("maps", json::object()));
    for (const CProceduralMap& map : set.maps) {
        CheckFileName("map", map.name);
    }
    CheckUnique("map", NamesOf(set.maps));
    const json materials = document.value("materials", json::array());
    if (!materials.is_array()) {
        throw CDescriptionError("\"materials\" must be an array");
    }
    for (const json& d : materials) {
        set.materials.push_back(MaterialEntry(d, set.maps));
    }
    CheckUnique("material", NamesOf(set.materials));
    return set;
}

bool WriteMaterialSet(const CMaterialSet& set, const std::string& folder) {
    const std::filesystem::path root(folder);
    std::error_code error;
    std::filesystem::create_directories(root / "TxtrMap", error);
    if (error) {
        return false;
    }
    for (const CProceduralMap& map : set.maps) {
        const CMapPicture picture = DrawProceduralMap(map);
        const CPictureView view{picture.size, picture.size, int64_t{picture.size} * 3,
                                picture.bgr.data()};
        if (!WriteBmpFile((root / "TxtrMap" / MapFileName(map.name)).string(), view)) {
            return false;
        }
    }
    for (const CNamedMaterial& material : set.materials) {
        const std::string path = (root / MaterialFileName(material.name)).string();
        if (!WriteFileBytes(path, WriteMaterialBytes(material.description))) {
            return false;
        }
    }
    return true;
}

}  // namespace orva
