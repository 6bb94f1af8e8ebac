#include "measure/jewel_report_text.h"

#include <cmath>
#include <cstdio>
#include <sstream>

#include "measure/metal_overlap.h"

namespace orva {

using json = nlohmann::ordered_json;

namespace {

// Enough digits for a jeweller, few enough to read.
double Rounded(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

json Optional(const std::optional<double>& value, int decimals) {
    return value ? json(Rounded(*value, decimals)) : json(nullptr);
}

json Point(const CVector3& p) {
    return json::array({Rounded(p.x, 3), Rounded(p.y, 3), Rounded(p.z, 3)});
}

json NameOrNull(const std::string& name) {
    return name.empty() ? json(nullptr) : json(name);
}

json DescribeMetal(const CMetalEntry& m) {
    json d;
    d["material"] = NameOrNull(m.material);
    d["alloy"] = m.alloy != nullptr ? json(m.alloy->key) : json(nullptr);
    d["density_g_cm3"] = m.alloy != nullptr ? json(m.alloy->densityGramsCm3) : json(nullptr);
    d["volume_mm3"] = Rounded(m.volumeMm3, 3);
    d["weight_g"] = Optional(m.weightGrams, 4);
    return d;
}

json DescribeGem(const CGemEntry& g) {
    json d;
    d["index"] = g.index;
    d["name"] = g.name ? json(*g.name) : json(nullptr);
    d["material"] = NameOrNull(g.material);
    d["count"] = g.count;
    d["size_mm"] =
        json::array({Rounded(g.sizeMm[0], 3), Rounded(g.sizeMm[1], 3), Rounded(g.sizeMm[2], 3)});
    d["volume_mm3"] = Optional(g.volumeMm3, 4);
    d["carat_each"] = Optional(g.caratEach, 4);
    d["carat_total"] =
        Optional(g.caratEach ? std::optional<double>(*g.caratEach * g.count) : std::nullopt, 4);
    return d;
}

std::string Text(const json& value, int decimals) {
    if (value.is_null()) {
        return "-";
    }
    if (value.is_string()) {
        return value.get<std::string>();
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value.get<double>());
    return buffer;
}

void FormatMetals(std::ostringstream& out, const json& metals) {
    char line[256];
    std::snprintf(line, sizeof line, "%-18s %-13s %8s %12s %10s\n", "metal", "alloy", "g/cm3",
                  "volume mm3", "weight g");
    out << line;
    for (const json& m : metals) {
        std::snprintf(
            line, sizeof line, "%-18s %-13s %8s %12s %10s\n",
            m["material"].is_null() ? "(default)" : m["material"].get<std::string>().c_str(),
            Text(m["alloy"], 0).c_str(), Text(m["density_g_cm3"], 2).c_str(),
            Text(m["volume_mm3"], 3).c_str(), Text(m["weight_g"], 3).c_str());
        out << line;
    }
}

void FormatGems(std::ostringstream& out, const json& gems) {
    char line[256];
    std::snprintf(line, sizeof line, "%5s  %-22s %-12s %-22s %10s %8s %8s\n", "count", "cut",
                  "material", "size mm (L x W x D)", "volume mm3", "ct each", "ct total");
    out << line;
    for (const json& g : gems) {
        const std::string cut = (g["name"].is_null() ? std::string("shape") : Text(g["name"], 0)) +
                                " #" + std::to_string(g["index"].get<int>());
        const json& s = g["size_mm"];
        const std::string size = Text(s[0], 2) + " x " + Text(s[1], 2) + " x " + Text(s[2], 2);
        std::snprintf(line, sizeof line, "%5d  %-22s %-12s %-22s %10s %8s %8s\n",
                      g["count"].get<int>(), cut.c_str(),
                      g["material"].is_null() ? "-" : g["material"].get<std::string>().c_str(),
                      size.c_str(), Text(g["volume_mm3"], 3).c_str(),
                      Text(g["carat_each"], 3).c_str(), Text(g["carat_total"], 3).c_str());
        out << line;
    }
}

}  // namespace

json DescribeJewel(const CJewelReport& report, CLoadReport::EStatus status) {
    static const char* kStatus[] = {"ok", "invalid", "unreadable"};
    const bool ok = status == CLoadReport::kOk;
    json d;
    d["status"] = kStatus[status];
    d["unit"] = "mm";
    d["bounds"] = ok && report.hasBounds
                      ? json{{"min", Point(report.min)}, {"max", Point(report.max)}}
                      : json(nullptr);
    d["metal_volume_mm3"] = ok ? Rounded(report.metal.volume, 3) : 0.0;
    d["uncertainty_pct"] = ok ? Rounded(report.metal.uncertaintyPercent, 3) : 0.0;
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
    AddMetalOverlap(d, report);
    return d;
}

std::string FormatJewelTable(const json& report) {
    std::ostringstream out;
    out << "status: " << report["status"].get<std::string>() << "\n";
    if (report["status"] != "ok") {
        return out.str();
    }
    out << "metal volume: " << Text(report["metal_volume_mm3"], 3) << " mm3 (+/- "
        << Text(report["uncertainty_pct"], 2) << " %)\n";
    double grams = 0.0;
    bool weighed = !report["metals"].empty();
    for (const json& m : report["metals"]) {
        weighed = weighed && !m["weight_g"].is_null();
        grams += m["weight_g"].is_null() ? 0.0 : m["weight_g"].get<double>();
    }
    if (weighed) {
        out << "metal weight: " << Text(json(grams), 3) << " g\n";
    }
    if (!report["metals"].empty()) {
        FormatMetals(out, report["metals"]);
    }
    if (!report["gems"].empty()) {
        int stones = 0;
        double carats = 0.0;
        for (const json& g : report["gems"]) {
            stones += g["count"].get<int>();
            carats += g["carat_total"].is_null() ? 0.0 : g["carat_total"].get<double>();
        }
        out << "stones: " << stones << ", " << Text(json(carats), 3) << " ct\n";
        FormatGems(out, report["gems"]);
    }
    out << FormatMetalOverlap(report);
    return out.str();
}

std::string FormatJewelReportText(const CJewelReport& report) {
    return FormatJewelTable(DescribeJewel(report, CLoadReport::kOk));
}

}  // namespace orva
