#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "measure/jewel_report.h"
#include "measure/jewel_report_text.h"

namespace orva {
namespace {

double Places4(double value) {
    return std::round(value * 1e4) / 1e4;
}

std::string Fixed3(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

bool Has(const std::string& text, const std::string& line) {
    return text.find(line) != std::string::npos;
}

// The totals are the sums of the lines as printed (weights and carats to 0.1 mg and 0.1 mct),
// kept up to date when the metal is weighed again, and the table prints them.
TEST(JewelTotalsTest, TotalsAddUpTheLinesAndFollowTheAlloy) {
    CJewelReport report;
    report.metal.materials = {{"Gold18KYellow", 872.00037}, {"platinum", 200.12345}};
    report.metal.volume = 1072.12382;
    report.metal.overlapVolume = 3.14159;
    report.metal.overlaps = {{"Gold18KYellow", "platinum", 3.14159}};
    WeighMetals(report, nullptr);
    CGemEntry diamonds;
    diamonds.count = 3;
    diamonds.caratEach = 0.123456;
    CGemEntry unknown;
    unknown.count = 1;
    CGemEntry rubies;
    rubies.count = 2;
    rubies.caratEach = 0.51237;
    report.gems = {diamonds, unknown, rubies};
    AddUpJewel(report);

    const CJewelTotals& t = report.totals;
    ASSERT_TRUE(t.metalGrams.has_value());
    const double grams = Places4(report.metals[0].volumeMm3 / 1000.0 * 15.53) +
                         Places4(report.metals[1].volumeMm3 / 1000.0 * 20.7);
    EXPECT_DOUBLE_EQ(*t.metalGrams, grams);
    EXPECT_EQ(t.stones, 6);
    const double carats = Places4(0.123456 * 3) + Places4(0.51237 * 2);
    EXPECT_DOUBLE_EQ(t.carats, carats);
    EXPECT_DOUBLE_EQ(t.overlapMm3, 3.142);
    std::string text = FormatJewelTable(report);
    EXPECT_TRUE(Has(text, "\nmetal weight: " + Fixed3(grams) + " g\n")) << text;
    EXPECT_TRUE(Has(text, "\nstones: 6, " + Fixed3(carats) + " ct\n")) << text;
    EXPECT_TRUE(Has(text,
                    "\noverlap: 3.142 mm3 where Gold18KYellow reaches into platinum is "
                    "counted as platinum\n"))
        << text;
    EXPECT_DOUBLE_EQ(DescribeJewel(report)["overlap_mm3"].get<double>(), 3.142);

    // Weighed again as platinum, the metal's total follows; the stones stay.
    WeighMetals(report, FindAlloy("pt950"));
    const double platinum = Places4(report.metals[0].volumeMm3 / 1000.0 * 20.7) +
                            Places4(report.metals[1].volumeMm3 / 1000.0 * 20.7);
    ASSERT_TRUE(t.metalGrams.has_value());
    EXPECT_DOUBLE_EQ(*t.metalGrams, platinum);
    EXPECT_EQ(t.stones, 6);
    EXPECT_TRUE(Has(FormatJewelTable(report), "\nmetal weight: " + Fixed3(platinum) + " g\n"));

    // One part of no known alloy leaves the metal unweighed; no overlap, no line for it.
    report.metal.materials.push_back({"Mystery", 10.0});
    report.metal.overlapVolume = 0.0;
    report.metal.overlaps.clear();
    WeighMetals(report, nullptr);
    EXPECT_FALSE(t.metalGrams.has_value());
    EXPECT_TRUE(t.overlapLine.empty());
    text = FormatJewelTable(report);
    EXPECT_FALSE(Has(text, "metal weight")) << text;
    EXPECT_FALSE(Has(text, "overlap")) << text;
    report.source.load.status = CLoadReport::kInvalid;
    EXPECT_EQ(FormatJewelTable(report), "status: invalid\n");
}

}  // namespace
}  // namespace orva
