// Saved pictures must be accepted by LaTeX itself.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "harness/Files.h"
#include "harness/Latex.h"
#include "objects/ObjRecord.h"
#include "objects/Scale.h"
#include "picfile/Units.h"
#include "picfile/Writer.h"

namespace fs = std::filesystem;

namespace {

std::string lastMessage;
void record(const char *text) { lastMessage = text; }

// Records from picture coordinates (units, y upwards) on a canvas at the
// current zoom and scale.
float s() { return zoomFactor * pixelsPerUnit; }
float X(float px) { return (50 + px) * s(); }
float Y(float py) { return (300 - py) * s(); }

ObjRecord *add(ObjType type) {
    ObjRecord *r = ObjNew(type);
    linkObject(r);
    return r;
}
void segment(ObjType type, float x1, float y1, float x2, float y2) {
    ObjRecord *r = add(type);
    r->x = X(x1), r->y = Y(y1), r->x2 = X(x2), r->y2 = Y(y2);
}
void box(ObjType type, float x, float y, float w, float h, int flags, const char *text) {
    ObjRecord *r = add(type);
    r->x = X(x), r->y = Y(y + h), r->x2 = w * s(), r->y2 = h * s(), r->x3 = 5;
    if (type != ObjFilledBox && type != ObjOval) {
        r->flags = flags;
        ObjSetText(r, text);
    }
}
void circle(ObjType type, float cx, float cy, float radius) {
    ObjRecord *r = add(type);
    r->x = X(cx), r->y = Y(cy), r->x2 = radius * s();
}

}  // namespace

TEST(Latex, SavedDrawingCompiles) {
    fs::path dir = harness::scratchDir();

    unitValue = 1, unitIndex = 2;  // millimetres at zoom 2: 6 pixels a unit
    setUnitScale(unitTable[2].points);
    zoomFactor = 2;

    segment(ObjLine, 0, 0, 60, 10);       // flat: (6,1)
    segment(ObjLine, 0, 0, 10, 60);       // steep: (1,6)
    segment(ObjLine, 70, 0, 70.5f, 60);   // too steep for the search: vertical
    segment(ObjLine, 0, 80, 60, 80);      // horizontal
    segment(ObjVector, 80, 80, 40, 70);   // (-4,-1)
    segment(ObjVector, 80, 0, 80, 40);    // vertical arrow
    box(ObjFramedBox, 10, 10, 30, 12, posCentred, "Framed 100%");  // a bare % must not end the line
    box(ObjDashedBox, 10, 30, 30, 12, posTop | posRight, "Dashed");
    box(ObjFilledBox, 50, 20, 8, 4, 0, "");
    box(ObjOval, 20, 50, 40, 20, 0, "");
    circle(ObjCircle, 90, 60, 5);
    circle(ObjDisc, 90, 75, 2);
    const int positions[] = {posTop | posLeft,    posTop | posHCenter,    posTop | posRight,
                             posVCenter | posLeft, posCentred,             posVCenter | posRight,
                             posBottom | posLeft,  posBottom | posHCenter, posBottom | posRight};
    for (int i = 0; i < 9; i++) box(ObjText, 100 + 10 * (i % 3), 10 * (i / 3), 0, 0, positions[i], "$x_1$");
    ObjRecord *curve = add(ObjBezier);
    curve->x = X(0), curve->y = Y(0), curve->x2 = X(-20), curve->y2 = Y(90), curve->x3 = X(120), curve->y3 = Y(40);

    fs::path picture = dir / "picture.tex";
    ASSERT_TRUE(savePicture(picture.c_str(), record, ".old")) << lastMessage;
    freeAllObjects();
    EXPECT_EQ(harness::latexFailure(dir, "picture"), "") << harness::readFile(picture);

    std::error_code ignored;
    fs::remove_all(dir, ignored);
}
