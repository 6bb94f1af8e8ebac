#include "measure/jewel_report_text.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <sstream>

#include "measure/jewel_figures.h"

namespace orva {

using json = nlohmann::ordered_json;

namespace {

const char* const kStatus[] = {"ok", "invalid", "unreadable"};

bool WasRead(const CJewelReport& report) {
    return report.source.load.status == CLoadReport::kOk;
}

json Optional(const std::optional<double>& value) {
    return value ? json(*value) : json(nullptr);
}

json Point(const CVector3& p) {
    return json::array({Rounded(p.x, kMillimetrePlaces), Rounded(p.y, kMillimetrePlaces),
                        Rounded(p.z, kMillimetrePlaces)});
}

json NameOrNull(const std::string& name) {
    return name.empty() ? json(nullptr) : json(name);
}

json DescribeMetal(const CMetalEntry& m) {
    json d;
    d["material"] = NameOrNull(m.material);
    d["display_name"] = MetalDisplayName(m);
    d["alloy"] = m.alloy != nullptr ? json(m.alloy->key) : json(nullptr);
    d["density_g_cm3"] = m.alloy != nullptr ? json(m.alloy->densityGramsCm3) : json(nullptr);
    d["volume_mm3"] = Rounded(m.volumeMm3, kMetalMm3Places);
    d["weight_g"] = Optional(Rounded(m.weightGrams, kGramPlaces));
    return d;
}

json DescribeGem(const CGemEntry& g) {
    json d;
    d["index"] = g.index;
    d["name"] = g.name ? json(*g.name) : json(nullptr);
    d["display_name"] = GemDisplayName(g);
    d["organic"] = g.organic;
    d["material"] = NameOrNull(g.material);
    d["count"] = g.count;
    d["size_mm"] = json::array({Rounded(g.sizeMm[0], kMillimetrePlaces),
                                Rounded(g.sizeMm[1], kMillimetrePlaces),
                                Rounded(g.sizeMm[2], kMillimetrePlaces)});
    d["volume_mm3"] = Optional(Rounded(g.volumeMm3, kStoneMm3Places));
    d["carat_each"] = Optional(Rounded(g.caratEach, kCaratPlaces));
    d["carat_total"] = Optional(LineCarats(g));
    return d;
}

json DescribeRing(const CRingSize& ring) {
    return {{"inner_diameter_mm", Rounded(ring.innerDiameterMm, kMillimetrePlaces)},
            {"circumference_mm", Rounded(ring.circumferenceMm, kMillimetrePlaces)},
            {"us", ring.us},
            {"uk", ring.uk},
            {"eu", ring.eu},
            {"jp", ring.jp}};
}

// A figure the report has already rounded, to `decimals` places; "-" for none.
std::string Text(const std::optional<double>& value, int decimals) {
    if (!value) {
        return "-";
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, *value);
    return buffer;
}

void FormatMetals(std::ostringstream& out, const std::vector<CMetalEntry>& metals) {
    char line[256];
    std::snprintf(line, sizeof line, "%-27s %-18s %-13s %8s %12s %10s\n", "metal", "material",
                  "alloy", "g/cm3", "volume mm3", "weight g");
    out << line;
    for (const CMetalEntry& m : metals) {
        const bool alloy = m.alloy != nullptr;
        std::snprintf(
            line, sizeof line, "%-27s %-18s %-13s %8s %12s %10s\n", MetalDisplayName(m).c_str(),
            m.material.empty() ? "(default)" : m.material.c_str(), alloy ? m.alloy->key : "-",
            Text(alloy ? std::optional<double>(m.alloy->densityGramsCm3) : std::nullopt, 2).c_str(),
            Text(Rounded(m.volumeMm3, kMetalMm3Places), 3).c_str(),
            Text(Rounded(m.weightGrams, kGramPlaces), 3).c_str());
        out << line;
    }
}

// The stones, or the pearls and the like (`organic`), one line for alike ones.
void FormatGems(std::ostringstream& out, const std::vector<CGemEntry>& gems, bool organic) {
    char line[256];
    std::snprintf(line, sizeof line, "%5s  %-22s %-12s %-22s %10s %8s %8s\n", "count", "cut",
                  "material", "size mm (L x W x D)", "volume mm3", "ct each", "ct total");
    out << line;
    for (const CGemEntry& g : gems) {
        if (g.organic != organic) {
            continue;
        }
        const std::string cut = GemDisplayName(g);
        std::string size;
        for (int k = 0; k < 3; ++k) {
            size += (k > 0 ? " x " : "") + Text(Rounded(g.sizeMm[k], kMillimetrePlaces), 2);
        }
        std::snprintf(line, sizeof line, "%5d  %-22s %-12s %-22s %10s %8s %8s\n", g.count,
                      cut.c_str(), g.material.empty() ? "-" : g.material.c_str(), size.c_str(),
                      Text(Rounded(g.volumeMm3, kStoneMm3Places), 3).c_str(),
                      Text(Rounded(g.caratEach, kCaratPlaces), 3).c_str(),
                      Text(LineCarats(g), 3).c_str());
        out << line;
    }
}

std::string TwoPlaces(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

std::string Lowered(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

// "1 round brilliant diamond 0.98 ct", "2 pearls": alike stones of all sizes together.
std::vector<std::string> StoneSummaries(const std::vector<CGemEntry>& gems) {
    struct CKind {
        std::string name;
        int count = 0;
        std::optional<double> carats = 0.0;
        bool organic = false;
    };
    std::vector<CKind> kinds;
    for (const CGemEntry& g : gems) {
        const std::string material = g.material.empty() ? "stone" : Lowered(g.material);
        const std::string name = g.organic ? material : GemDisplayName(g) + " " + material;
        auto kind = std::find_if(kinds.begin(), kinds.end(),
                                 [&](const CKind& k) { return k.name == name; });
        if (kind == kinds.end()) {
            kinds.push_back({name, 0, 0.0, g.organic});
            kind = kinds.end() - 1;
        }
        kind->count += g.count;
        const std::optional<double> carats = LineCarats(g);
        kind->carats =
            kind->carats && carats ? std::optional(*kind->carats + *carats) : std::nullopt;
    }
    std::vector<std::string> out;
    for (const CKind& k : kinds) {
        std::string text = std::to_string(k.count) + " " + k.name;
        if (k.organic) {
            text += k.count == 1 ? "" : "s";
        } else if (k.carats) {
            text += " " + TwoPlaces(*k.carats) + " ct";
        }
        out.push_back(text);
    }
    return out;
}

}  // namespace

std::string JewelSummaryLine(const CJewelReport& report) {
    std::vector<std::string> items;
    for (const CMetalEntry& m : report.metals) {
        items.push_back(MetalDisplayName(m) + " " +
                        (m.weightGrams ? TwoPlaces(*m.weightGrams) + " g"
                                       : TwoPlaces(m.volumeMm3) + " mm\u00b3"));
    }
    for (std::string& stone : StoneSummaries(report.gems)) {
        items.push_back(std::move(stone));
    }
    std::string line;
    for (const std::string& item : items) {
        line += (line.empty() ? "" : " \u00b7 ") + item;
    }
    return line;
}

std::string RingLine(const CRingSize& ring) {
    return "ring: inner diameter " + Text(Rounded(ring.innerDiameterMm, kMillimetrePlaces), 2) +
           " mm, circumference " + Text(Rounded(ring.circumferenceMm, kMillimetrePlaces), 2) +
           " mm; size US " + ring.us + ", UK " + ring.uk + ", EU " + ring.eu + ", JP " + ring.jp;
}

const char* JewelStatus(const CJewelReport& report) {
    return IsIncomplete(report) ? "incomplete" : kStatus[report.source.load.status];
}

std::string IncompleteLine(const CJewelReport& report) {
    if (!IsIncomplete(report)) {
        return {};
    }
    if (!report.source.load.stoppedEarly) {
        const int left = report.objectsLeftOut;
        return "INCOMPLETE: " + std::to_string(left) +
               (left == 1 ? " object left out" : " objects left out") + " of the measurement";
    }
    const int count = report.source.load.count;
    return "INCOMPLETE: the file ends early; " + std::to_string(count) +
           (count == 1 ? " object measured" : " objects measured");
}

json DescribeJewel(const CJewelReport& report) {
    const bool ok = WasRead(report);
    json d;
    d["status"] = JewelStatus(report);
    d["scene"] = NameOrNull(report.source.sceneName);
    d["unit"] = "mm";
    d["bounds"] = ok && report.hasBounds
                      ? json{{"min", Point(report.min)}, {"max", Point(report.max)}}
                      : json(nullptr);
    d["metal_volume_mm3"] = ok ? Rounded(report.metal.volume, kMetalMm3Places) : 0.0;
    d["uncertainty_pct"] = ok ? Rounded(report.metal.uncertaintyPercent, kPercentPlaces) : 0.0;
    d["metals"] = json::array();
    d["gems"] = json::array();
    if (ok) {
        for (const CMetalEntry& m : report.metals) {
            d["metals"].push_back(DescribeMetal(m));
        }
        for (const CGemEntry& g : report.gems) {
            d["gems"].push_back(DescribeGem(g));
        }
    }
    d["overlap_mm3"] = ok ? report.totals.overlapMm3 : 0.0;
    d["overlaps"] = json::array();
    for (const CMetalOverlap& o : ok ? report.metal.overlaps : std::vector<CMetalOverlap>{}) {
        d["overlaps"].push_back({{"volume_mm3", Rounded(o.volume, kMetalMm3Places)},
                                 {"material", NameOrNull(o.material)},
                                 {"counted_as", NameOrNull(o.countedAs)}});
    }
    d["ring"] = ok && report.ring ? DescribeRing(*report.ring) : json(nullptr);
    const CLoadReport& load = report.source.load;
    d["warnings"] = ok ? json(report.warnings) : json::array();
    d["stopped"] = IsIncomplete(report) && load.stoppedEarly ? json{{"byte", load.stopOffset},
                                                                    {"record", load.stopRecord},
                                                                    {"reason", load.stopReason}}
                                                             : json(nullptr);
    return d;
}

std::string FormatJewelTable(const CJewelReport& report) {
    std::ostringstream out;
    if (IsIncomplete(report)) {
        out << IncompleteLine(report) << "\n";
    }
    out << "status: " << JewelStatus(report) << "\n";
    if (!report.source.sceneName.empty()) {
        out << "scene: " << report.source.sceneName << "\n";
    }
    if (!WasRead(report)) {
        return out.str();
    }
    for (const std::string& warning : report.warnings) {
        out << "warning: " << warning << "\n";
    }
    const CJewelTotals& totals = report.totals;
    out << "metal volume: " << Text(Rounded(report.metal.volume, kMetalMm3Places), 3)
        << " mm3 (+/- " << Text(Rounded(report.metal.uncertaintyPercent, kPercentPlaces), 2)
        << " %)\n";
    if (totals.metalGrams) {
        out << "metal weight: " << Text(totals.metalGrams, 3) << " g\n";
    }
    if (!report.metals.empty()) {
        FormatMetals(out, report.metals);
    }
    if (report.ring) {
        out << RingLine(*report.ring) << "\n";
    }
    if (totals.stones > 0) {
        out << "stones: " << totals.stones << ", " << Text(totals.carats, 3) << " ct\n";
        FormatGems(out, report.gems, false);
    }
    if (totals.organicGems > 0) {
        out << "pearls and other organic gems, by size: " << totals.organicGems << "\n";
        FormatGems(out, report.gems, true);
    }
    out << totals.overlapLine;
    return out.str();
}

}  // namespace orva
