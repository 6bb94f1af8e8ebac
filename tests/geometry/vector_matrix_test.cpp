#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "geometry/matrix4.h"

namespace orva {
namespace {

void ExpectVectorNear(CVector3 actual, CVector3 expected, float tolerance = 1e-6f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

CMatrix4 RotationAboutZ(float degrees) {
    const float a = degrees * 3.14159265f / 180.0f;
    CMatrix4 m;
    m.At(0, 0) = std::cos(a);
    m.At(0, 1) = std::sin(a);
    m.At(1, 0) = -std::sin(a);
    m.At(1, 1) = std::cos(a);
    return m;
}

TEST(NormalizedTest, DegenerateVectorsComeBackUnchanged) {
    EXPECT_EQ(Normalized(CVector3(0, 0, 0)), CVector3(0, 0, 0));
    // Squared length 1e-12 is below the threshold: no division happens.
    EXPECT_EQ(Normalized(CVector3(1e-6f, 0, 0)), CVector3(1e-6f, 0, 0));
    ExpectVectorNear(Normalized(CVector3(0, 3, 4)), CVector3(0, 0.6f, 0.8f));
}

TEST(NormalizedTest, NanStaysNanInsteadOfBeingDividedBy) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const CVector3 n = Normalized(CVector3(nan, 0, 0));
    EXPECT_TRUE(std::isnan(n.x));
    EXPECT_EQ(n.y, 0.0f);
}

TEST(IsEqualTest, ToleranceIsStrictAndNanIsNeverEqual) {
    const CVector3 a(1, 2, 3);
    EXPECT_TRUE(IsEqual(a, a));
    EXPECT_TRUE(IsEqual(a, CVector3(1, 2.00005f, 3)));
    EXPECT_FALSE(IsEqual(a, CVector3(1, 2.0002f, 3)));
    EXPECT_FALSE(IsEqual(a, CVector3(1, 2, std::numeric_limits<float>::quiet_NaN())));
}

TEST(VectorOpsTest, CrossProductFollowsRightHandRule) {
    EXPECT_EQ(CrossProduct(CVector3(1, 0, 0), CVector3(0, 1, 0)), CVector3(0, 0, 1));
    EXPECT_EQ(CrossProduct(CVector3(0, 1, 0), CVector3(1, 0, 0)), CVector3(0, 0, -1));
    EXPECT_EQ(CrossProduct(CVector3(2, 3, 4), CVector3(5, 6, 7)), CVector3(-3, 6, -3));
}

TEST(VectorOpsTest, DivideByZeroIsNotGuarded) {
    const CVector3 d = Divide(CVector3(1, 0, -1), 0.0f);
    EXPECT_TRUE(std::isinf(d.x));
    EXPECT_TRUE(std::isnan(d.y));
    EXPECT_TRUE(std::isinf(d.z));
    EXPECT_EQ(Divide(CVector3(2, 4, 6), 2.0f), CVector3(1, 2, 3));
}

TEST(VectorOpsTest, InPlaceFormsReturnTheNewValue) {
    CVector3 v(1, 1, 1);
    EXPECT_EQ(AddInPlace(v, CVector3(1, 2, 3)), CVector3(2, 3, 4));
    EXPECT_EQ(v, CVector3(2, 3, 4));
    EXPECT_EQ(TransformPointInPlace(v, CMatrix4::Translation(CVector3(1, 0, 0))),
              CVector3(3, 3, 4));
    EXPECT_EQ(v, CVector3(3, 3, 4));
}

TEST(TransformPointTest, IdentityTranslationAndPerspective) {
    const CVector3 p(1.5f, -2, 7);
    EXPECT_EQ(TransformPoint(p, CMatrix4::Identity()), p);
    EXPECT_EQ(TransformPoint(p, CMatrix4::Translation(CVector3(1, 2, 3))), CVector3(2.5f, 0, 10));

    CMatrix4 perspective;
    perspective[11] = 0.5f;
    perspective[12] = 2.0f;
    // f = 1 / ((0.5 - 0) * 0.5 + 1) = 0.8 applied to the translated origin (2, 0, 0).
    ExpectVectorNear(TransformPoint(CVector3(0, 0, 0), perspective), CVector3(1.6f, 0, 0));
}

TEST(TransformPointTest, ElementsThreeSevenFifteenAreIgnored) {
    CMatrix4 m;
    m[3] = 5;
    m[7] = 6;
    m[15] = 9;
    EXPECT_EQ(TransformPoint(CVector3(1, 2, 3), m), CVector3(1, 2, 3));
}

TEST(MultiplyTest, LeftOperandIsAppliedFirst) {
    const CMatrix4 translate = CMatrix4::Translation(CVector3(1, 2, 3));
    const CMatrix4 scale = CMatrix4::Scaling(4, 4, 4);
    EXPECT_EQ(TransformPoint(CVector3(0, 0, 0), Multiply(translate, scale)), CVector3(4, 8, 12));
    EXPECT_EQ(TransformPoint(CVector3(0, 0, 0), Multiply(scale, translate)), CVector3(1, 2, 3));
    CMatrix4 m = translate;
    EXPECT_EQ(MultiplyInPlace(m, scale), Multiply(translate, scale));
}

TEST(DeterminantTest, LeadingBlocks) {
    CMatrix4 m = CMatrix4::Scaling(2, 3, 4);
    m[15] = 5;
    EXPECT_FLOAT_EQ(Determinant(m, 1), 2.0f);
    EXPECT_FLOAT_EQ(Determinant(m, 2), 6.0f);
    EXPECT_FLOAT_EQ(Determinant(m, 3), 24.0f);
    EXPECT_FLOAT_EQ(Determinant(m, 4), 120.0f);
    // A mirror flips the sign: the extrusion uses this to decide which way its surfaces face.
    EXPECT_FLOAT_EQ(Determinant(CMatrix4::Scaling(1, -1, 1), 4), -1.0f);
}

TEST(InverseTest, SingularGivesIdentityAndRegularRoundTrips) {
    EXPECT_EQ(Inverse(CMatrix4::Zero()), CMatrix4::Identity());
    EXPECT_EQ(Inverse(CMatrix4::Identity()), CMatrix4::Identity());
    CMatrix4 nearlySingular = CMatrix4::Scaling(1e-4f, 1e-4f, 1e-3f);  // det 1e-11
    EXPECT_EQ(Inverse(nearlySingular), CMatrix4::Identity());

    CMatrix4 m = Multiply(RotationAboutZ(30), CMatrix4::Scaling(2, 3, 0.5f));
    m[12] = 4;
    m[13] = -1;
    m[14] = 2;
    const CMatrix4 product = Multiply(m, Inverse(m));
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(product[i], CMatrix4::Identity()[i], 1e-5f) << "element " << i;
    }
    const CVector3 p(0.3f, -7, 2);
    ExpectVectorNear(TransformPoint(TransformPoint(p, m), Inverse(m)), p, 1e-5f);
}

}  // namespace
}  // namespace orva
