#include <gtest/gtest.h>

#include "objects/ObjRecord.h"
#include "objects/Scale.h"
#include "picfile/Units.h"

struct UnitCase {
    const char *text;
    bool accepted;
    float value;
    int index;
};

TEST(Units, ParsesNumberAndTwoLetterUnit) {
    const UnitCase cases[] = {
        {"1.0pt", true, 1.0f, 0},   {"1.0 pt", true, 1.0f, 0},   {"1PT", true, 1.0f, 0},
        {"1.0 Pt", true, 1.0f, 0},  {"3.5mm extra", true, 3.5f, 2}, {"2CM", true, 2.0f, 1}, {"1em", true, 1.0f, 9},
        {"0.5in", true, 0.5f, 4},   {"12 dd", true, 12.0f, 6},   {"-3sp", true, -3.0f, 8},
        {"0pt", true, 0.0f, 0},     {"pt", false, 1.0f, 0},      {"1.0", false, 1.0f, 0},
        {"1.0ptx", false, 1.0f, 0}, {"1.0 ptx", false, 1.0f, 0}, {"1.0p", false, 1.0f, 0},
        {"1.0xx", false, 1.0f, 0},  {"", false, 1.0f, 0},        {"infpt", false, 1.0f, 0},
    };
    for (const UnitCase &c : cases) {
        unitValue = 7;
        unitIndex = 7;
        EXPECT_EQ(parseUnitLength(c.text), c.accepted) << c.text;
        EXPECT_EQ(unitValue, c.value) << c.text;
        EXPECT_EQ(unitIndex, c.index) << c.text;
    }
}

TEST(Units, ScaleIsTheNearestRoundNumberOfPoints) {
    struct {
        const char *text;
        float unitPoints;
        float pixels;
    } cases[] = {
        {"1.0pt", 1.0f, 1.0f},          {"1cm", 28.452755f, 30.0f},   {"10 mm", 28.452756f, 30.0f},
        {"1mm", 2.8452756f, 3.0f},      {"0.5in", 36.135f, 40.0f},    {"1.5pt", 1.5f, 1.0f},
        {"1bp", 1.00375f, 1.0f},        {"1dd", 1.0700086f, 1.0f},    {"1pc", 12.0f, 10.0f},
        {"1cc", 12.840104f, 10.0f},     {"1em", 10.0f, 10.0f},        {"1in", 72.27f, 75.0f},
        {"0.5pt", 0.5f, 0.5f},          {"3.5pt", 3.5f, 3.0f},        {"7pt", 7.0f, 7.5f},
        {"9pt", 9.0f, 8.0f},            {"12pt", 12.0f, 10.0f},       {"100pt", 100.0f, 100.0f},
    };
    for (auto &c : cases) {
        ASSERT_TRUE(parseUnitLength(c.text));
        setUnitScale(unitValue * unitTable[unitIndex].points);
        EXPECT_FLOAT_EQ(unitPt, c.unitPoints) << c.text;
        EXPECT_FLOAT_EQ(pixelsPerUnit, c.pixels) << c.text;
    }
    ASSERT_TRUE(parseUnitLength("1sp"));
    setUnitScale(unitValue * unitTable[unitIndex].points);
    EXPECT_NEAR(pixelsPerUnit, 0.00002f, 1e-9);
}

TEST(Units, ZeroLengthBecomesOnePointWithAWarning) {
    ASSERT_TRUE(parseUnitLength("0pt"));
    testing::internal::CaptureStderr();
    setUnitScale(unitValue * unitTable[unitIndex].points);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Warning: zero \\unitlength corrected to 1pt\n");
    EXPECT_EQ(unitValue, 1.0f);
    EXPECT_EQ(unitIndex, 0);
    EXPECT_EQ(unitPt, 1.0f);
    EXPECT_EQ(pixelsPerUnit, 1.0f);
}

TEST(Units, RescalingScalesEveryLengthAndKeepsTexts) {
    ObjRecord *box = ObjNew(ObjDashedBox);
    box->x = 10, box->y = 20, box->x2 = 30, box->y2 = 40, box->x3 = 5;
    box->flags = posTop | posLeft;
    ObjSetText(box, "Hi");
    ObjRecord *circle = ObjNew(ObjCircle);
    circle->x = 3, circle->y = 6, circle->x2 = 9;
    ObjRecord *curve = ObjNew(ObjBezier);
    curve->x = 1, curve->y = 2, curve->x2 = 3, curve->y2 = 4, curve->x3 = 5, curve->y3 = 6;
    linkObject(box);
    linkObject(circle);
    linkObject(curve);

    rescaleAll(0.5f);
    EXPECT_EQ(box->x3, 2.5f);
    EXPECT_EQ(circle->x2, 4.5f);
    EXPECT_EQ(curve->y3, 3.0f);
    rescaleAll(2.0f);
    EXPECT_EQ(box->x, 10);
    EXPECT_EQ(box->y2, 40);
    EXPECT_EQ(box->x3, 5);
    EXPECT_EQ(box->flags, 17);
    EXPECT_STREQ(box->text, "Hi");
    EXPECT_EQ(circle->x2, 9);
    EXPECT_EQ(curve->x2, 3);
    EXPECT_EQ(curve->y3, 6);

    rescaleAll(1.0f / 3);
    rescaleAll(3.0f);
    EXPECT_FLOAT_EQ(box->y2, 40);
    freeAllObjects();
}
