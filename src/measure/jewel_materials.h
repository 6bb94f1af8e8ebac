#pragma once

#include <optional>
#include <string>

namespace orva {

// A precious-metal alloy as a jeweller weighs it.
struct CAlloy {
    const char* key;          // what --alloy names it by: "18k-yellow", "pt950", ...
    double densityGramsCm3;   // g/cm³
    const char* displayName;  // what a jeweller reads: "18K white gold (palladium)", ...
};

// The alloy of a key, or null for an unknown key.
const CAlloy* FindAlloy(const std::string& key);
// Every key, separated by spaces, for messages.
std::string AlloyKeys();
// The alloy a material file name stands for: the shipped metals ("Gold18KYellow", ...) and
// the keys themselves, case ignored; null when the name says no alloy.
const CAlloy* AlloyOfMaterial(const std::string& material);

// A material name as the tables know it: lower case, without spaces, '-' and '_'
// ("Cubic_Zirconia" is "cubiczirconia").
std::string FoldedMaterialName(const std::string& name);

// The density in g/cm³ of the stone a material name stands for ("Diamond", "ruby", "Cubic
// Zirconia", ...; case, spaces, '-' and '_' ignored); none for an unknown stone.
std::optional<double> StoneDensity(const std::string& material);

// Pearls, coral, amber and jet: gems grown by living things, sold by size and count rather
// than by carats (case, spaces, '-' and '_' ignored).
bool IsOrganicGem(const std::string& material);

// The name the shipped gem library gives the shape at `index` ("round brilliant", ...), or
// none for an index it does not have.
std::optional<std::string> ShippedGemName(int index);

// 1 ct = 0.2 g: carats of a stone of `volumeMm3` at `densityGramsCm3`.
inline double Carats(double volumeMm3, double densityGramsCm3) {
    return volumeMm3 / 1000.0 * densityGramsCm3 / 0.2;
}

}  // namespace orva
