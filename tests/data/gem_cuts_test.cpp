#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "gem_cuts.h"
#include "json_scene.h"
#include "mesh_measures.h"
#include "scene/byte_reader.h"
#include "scene/gem_library.h"
#include "scene/object_class.h"
#include "scene_writer.h"

namespace orva {
namespace {

using nlohmann::json;

// The message of the description error the cut raises; empty when it raises none.
std::string Complaint(const json& cut) {
    try {
        GemCutFromJson(cut);
    } catch (const CDescriptionError& error) {
        return error.what();
    }
    return {};
}

TEST(GemCutsDescription, NamesWhatIsWrongWithACut) {
    EXPECT_NE(Complaint({{"cut", "rose"}}).find("rose"), std::string::npos);
    EXPECT_NE(Complaint({{"shape", "oval"}}).find("cut"), std::string::npos);
    EXPECT_NE(Complaint({{"cut", "oval"}, {"table", 1.2}}).find("table"), std::string::npos);
    EXPECT_NE(Complaint({{"cut", "oval"}, {"ratio", "long"}}).find("ratio"), std::string::npos);
    EXPECT_NE(Complaint({{"cut", "emerald"}, {"pavilionAngles", json::array()}}).find("pavilion"),
              std::string::npos);
    EXPECT_NE(Complaint({{"cut", "baguette"}, {"crownAngles", {40, 90}}}).find("crownAngles"),
              std::string::npos);
    EXPECT_NE(Complaint({{"cut", "pearl"}, {"segments", 30}}).find("segments"), std::string::npos);
    EXPECT_NE(Complaint({{"cut", "heart"}, {"lobe", 0.2}}).find("lobe"), std::string::npos);
    EXPECT_NE(Complaint({{"cut", "oval"}, {"crownHeight", 0.1}, {"crownAngle", 30}}).find("both"),
              std::string::npos);
    EXPECT_THROW(FileBytesFromJson({{"format", "gemcuts"}, {"cuts", {{"cut", "oval"}}}}),
                 CDescriptionError)
        << "cuts must be an array of cuts, not one cut";
}

TEST(GemCutsDescription, ACutLeftToItsDefaultsIsStillAClosedStone) {
    for (const char* name : {"roundBrilliant", "princess", "oval", "marquise", "pear", "heart",
                             "emerald", "baguette", "cushion", "trillion", "cabochon", "pearl"}) {
        const auto mesh = GemCutFromJson({{"cut", name}});
        ASSERT_NE(mesh, nullptr) << name;
        EXPECT_EQ(test::UnmatchedEdges(*mesh), 0) << name;
        EXPECT_GT(test::SignedVolume(*mesh), 0.0) << name;
    }
}

TEST(GemCutsDescription, CrownAndPavilionAnglesGiveTheHeightsTheyStandFor) {
    // A main standing at angle a over the run from girdle to table rises run x tan(a).
    const double table = 0.55;
    const auto byAngle = GemCutFromJson(
        {{"cut", "roundBrilliant"}, {"table", table}, {"crownAngle", 34.5}, {"pavilionAngle", 41}});
    const auto byHeight =
        GemCutFromJson({{"cut", "roundBrilliant"},
                        {"table", table},
                        {"crownHeight", (1 - table) / 2 * std::tan(34.5 * M_PI / 180)},
                        {"pavilionDepth", 0.5 * std::tan(41 * M_PI / 180)}});
    ASSERT_EQ(byAngle->points.size(), byHeight->points.size());
    for (std::size_t i = 0; i < byAngle->points.size(); ++i) {
        EXPECT_NEAR(Length(byAngle->points[i] - byHeight->points[i]), 0.0f, 1e-6f) << i;
    }
}

TEST(GemCutsDescription, ARoundBrilliantLeftToItsDefaultsHasTheIdealProportions) {
    const auto ideal = GemCutFromJson({{"cut", "roundBrilliant"},
                                       {"table", 0.53},
                                       {"crownAngle", 34.5},
                                       {"pavilionAngle", 40.75}});
    const auto byDefault = GemCutFromJson({{"cut", "roundBrilliant"}});
    EXPECT_EQ(byDefault->points, ideal->points);
    EXPECT_EQ(byDefault->vertexIndices, ideal->vertexIndices);
}

TEST(GemCutsDescription, EveryCutBecomesOneLibraryShapeInOrder) {
    const json document = {
        {"format", "gemcuts"},
        {"cuts", {{{"cut", "pearl"}, {"segments", 8}, {"rings", 4}}, {{"cut", "baguette"}}}}};
    const std::vector<uint8_t> bytes = FileBytesFromJson(document);
    EXPECT_EQ(bytes, WriteGemLibraryBytes(GemCutsFromJson(document).first));
    CByteReader in(bytes);
    in.SetScrambledReading(false);
    CObjectList shapes;
    ASSERT_EQ(CGemLibrary::ReadShapeList(in, shapes), 2);
    const auto* pearl = static_cast<const CPolyMesh*>(shapes.first);
    ASSERT_EQ(pearl->GetTypeId(), kTypePolyMesh);
    // Eight corners round each of three inner rings plus the two poles.
    EXPECT_EQ(pearl->PointCount(), 3 * 8 + 2);
    EXPECT_EQ(pearl->flatShading, 0);
    ASSERT_NE(pearl->next, nullptr);
    EXPECT_EQ(static_cast<const CPolyMesh*>(pearl->next)->flatShading, 1);
}

}  // namespace
}  // namespace orva
