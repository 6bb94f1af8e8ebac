#include "measure/jewel_materials.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace orva {

namespace {

// Densities as refiners and casting houses publish them for the usual alloys; the white
// golds of 9K to 14K are the nickel-free ones sold for rings today.
constexpr CAlloy kAlloys[] = {
    {"24k", 19.32, "24K fine gold"},
    {"22k", 17.86, "22K yellow gold"},
    {"18k-yellow", 15.53, "18K yellow gold"},
    {"18k-white-pd", 15.66, "18K white gold (palladium)"},
    {"18k-white-ni", 14.69, "18K white gold (nickel)"},
    {"18k-rose", 15.02, "18K rose gold"},
    {"14k-yellow", 13.05, "14K yellow gold"},
    {"14k-white", 12.61, "14K white gold"},
    {"14k-rose", 13.14, "14K rose gold"},
    {"10k-yellow", 11.57, "10K yellow gold"},
    {"10k-white", 11.07, "10K white gold"},
    {"10k-rose", 11.59, "10K rose gold"},
    {"9k-yellow", 11.10, "9K yellow gold"},
    {"9k-white", 11.20, "9K white gold"},
    {"9k-rose", 11.10, "9K rose gold"},
    {"pt950", 20.7, "Platinum 950"},
    {"pt900", 21.54, "Platinum 900"},
    {"pd950", 12.16, "Palladium 950"},
    {"silver925", 10.36, "Sterling silver 925"},
};

// The shipped metals (data/materials.md). White gold is taken as the palladium alloy, the
// usual one for rings worn next to the skin.
constexpr std::pair<const char*, const char*> kShippedMetals[] = {
    {"gold18kyellow", "18k-yellow"}, {"gold18kwhite", "18k-white-pd"}, {"gold18krose", "18k-rose"},
    {"platinum", "pt950"},           {"silver925", "silver925"},
};

// Names folded: lower case, without spaces, '-' and '_'.
constexpr std::pair<const char*, double> kStones[] = {
    {"diamond", 3.52},  {"ruby", 4.00},    {"sapphire", 4.00},  {"emerald", 2.72},
    {"amethyst", 2.65}, {"citrine", 2.65}, {"topaz", 3.53},     {"aquamarine", 2.72},
    {"peridot", 3.34},  {"garnet", 3.78},  {"tanzanite", 3.35}, {"cubiczirconia", 5.70},
    {"pearl", 2.70},
};

constexpr const char* kShippedGemNames[] = {
    "round brilliant", "princess", "oval",    "marquise", "pear",     "heart",
    "emerald",         "baguette", "cushion", "trillion", "cabochon", "pearl",
};

}  // namespace

std::string FoldedMaterialName(const std::string& name) {
    std::string out;
    for (const char c : name) {
        if (c != ' ' && c != '-' && c != '_') {
            out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return out;
}

namespace {

std::string Lower(const std::string& name) {
    std::string out = name;
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

}  // namespace

const CAlloy* FindAlloy(const std::string& key) {
    for (const CAlloy& alloy : kAlloys) {
        if (key == alloy.key) {
            return &alloy;
        }
    }
    return nullptr;
}

std::string AlloyKeys() {
    std::string keys;
    for (const CAlloy& alloy : kAlloys) {
        keys += keys.empty() ? "" : " ";
        keys += alloy.key;
    }
    return keys;
}

const CAlloy* AlloyOfMaterial(const std::string& material) {
    const std::string lower = Lower(material);
    for (const auto& [name, key] : kShippedMetals) {
        if (lower == name) {
            return FindAlloy(key);
        }
    }
    return FindAlloy(lower);
}

std::optional<double> StoneDensity(const std::string& material) {
    const std::string folded = FoldedMaterialName(material);
    for (const auto& [name, density] : kStones) {
        if (folded == name) {
            return density;
        }
    }
    return std::nullopt;
}

bool IsOrganicGem(const std::string& material) {
    const std::string folded = FoldedMaterialName(material);
    for (const char* organic : {"pearl", "coral", "amber", "jet"}) {
        if (folded == organic) {
            return true;
        }
    }
    return false;
}

std::optional<std::string> ShippedGemName(int index) {
    constexpr int kCount = static_cast<int>(std::size(kShippedGemNames));
    if (index < 0 || index >= kCount) {
        return std::nullopt;
    }
    return std::string(kShippedGemNames[index]);
}

}  // namespace orva
