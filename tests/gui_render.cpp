#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "canvas/Canvas.h"
#include "harness/Editor.h"
#include "objects/Render.h"
#include "objects/Scale.h"

using namespace harness;

namespace {

struct RenderTest : testing::Test {
    Display *d = nullptr;
    Window w = 0;
    unsigned long fg = 0, bg = 0;

    virtual std::vector<std::string> arguments() { return {}; }
    void SetUp() override {
        startEditor(arguments());
        d = XtDisplay(canvas);
        w = XtWindow(canvas);
        fg = canvasForeground();
        bg = canvasBackground();
    }
    void TearDown() override { freeAllObjects(); }

    void clear() {
        XClearWindow(d, w);
        XSync(d, False);
    }
    ObjRecord *record(ObjType type, float x, float y, float x2, float y2, float x3 = 0) {
        ObjRecord *r = ObjNew(type);
        r->x = x, r->y = y, r->x2 = x2, r->y2 = y2, r->x3 = x3;
        r->flags = posCentred;
        return r;
    }
    XImage *draw(const ObjRecord *r) {
        clear();
        ObjDraw(r, d, w);
        XSync(d, False);
        return canvasImage();
    }
};

unsigned long at(XImage *image, int x, int y) { return XGetPixel(image, x, y); }

// Lines one pixel wide may leave out their last pixel: look around it.
bool inkNear(XImage *image, int x, int y, unsigned long fg) {
    for (int dy = -1; dy <= 1; dy++)
        for (int dx = -1; dx <= 1; dx++)
            if (XGetPixel(image, x + dx, y + dy) == fg) return true;
    return false;
}

}  // namespace

TEST_F(RenderTest, EachTypePutsItsPixels) {
    ObjRecord *line = record(ObjLine, 10, 10, 50, 30);
    XImage *img = draw(line);
    EXPECT_TRUE(inkNear(img, 10, 10, fg));
    EXPECT_TRUE(inkNear(img, 50, 30, fg));
    EXPECT_EQ(at(img, 30, 20), fg);
    EXPECT_EQ(at(img, 30, 24), bg);
    XDestroyImage(img);

    ObjRecord *vector = record(ObjVector, 100, 100, 160, 100);
    img = draw(vector);
    EXPECT_EQ(at(img, 156, 101), fg);  // inside the filled head, off the line
    EXPECT_EQ(at(img, 155, 98), fg);
    EXPECT_EQ(at(img, 150, 101), bg);  // behind the head
    XDestroyImage(img);

    ObjRecord *stub = record(ObjVector, 100, 100, 100.5f, 100);  // shorter than a pixel: no head
    img = draw(stub);
    EXPECT_EQ(inkCount(img), 0);
    XDestroyImage(img);

    ObjRecord *disc = record(ObjDisc, 200, 200, 10, 0);
    img = draw(disc);
    EXPECT_EQ(at(img, 200, 200), fg);
    EXPECT_EQ(at(img, 205, 203), fg);
    XDestroyImage(img);
    ObjRecord *circle = record(ObjCircle, 200, 200, 10, 0);
    img = draw(circle);
    EXPECT_EQ(at(img, 200, 200), bg);
    EXPECT_EQ(at(img, 210, 200), fg);
    XDestroyImage(img);

    ObjRecord *filled = record(ObjFilledBox, 20, 300, 30, 20);
    img = draw(filled);
    EXPECT_EQ(at(img, 35, 310), fg);
    EXPECT_EQ(at(img, 51, 310), bg);
    XDestroyImage(img);

    ObjRecord *oval = record(ObjOval, 100, 300, 80, 40, 10);
    img = draw(oval);
    EXPECT_EQ(at(img, 140, 300), fg);  // middle of the top side
    EXPECT_EQ(at(img, 100, 300), bg);  // the corner is rounded off
    XDestroyImage(img);

    ObjRecord *curve = ObjNew(ObjBezier);
    curve->x = 300, curve->y = 100, curve->x2 = 350, curve->y2 = 200, curve->x3 = 400, curve->y3 = 100;
    img = draw(curve);
    EXPECT_TRUE(inkNear(img, 300, 100, fg));
    EXPECT_TRUE(inkNear(img, 400, 100, fg));
    EXPECT_TRUE(inkNear(img, 350, 150, fg));  // the curve's lowest point
    EXPECT_EQ(at(img, 350, 200), bg);  // not the control point
    XDestroyImage(img);

    for (ObjRecord *r : {line, vector, stub, disc, circle, filled, oval, curve}) ObjFree(r);
}

TEST_F(RenderTest, DashedBoxHasGapsWhereTheFramedBoxHasNone) {
    ObjRecord *framed = record(ObjFramedBox, 50, 50, 100, 40);
    ObjRecord *dashed = record(ObjDashedBox, 50, 50, 100, 40, 5);
    auto topEdgeInk = [&](XImage *img) {
        int n = 0;
        for (int x = 50; x <= 150; x++) n += at(img, x, 50) == fg;
        return n;
    };
    XImage *a = draw(framed);
    XImage *b = draw(dashed);
    EXPECT_EQ(topEdgeInk(a), 101);
    EXPECT_GT(topEdgeInk(b), 30);
    EXPECT_LT(topEdgeInk(b), 80);
    XDestroyImage(a);
    XDestroyImage(b);
    ObjFree(framed);
    ObjFree(dashed);
}

// Texts in the fixed font 6x13, whose characters are 6 pixels wide; ink
// ascent and descent: "ABCDEFGHIJ", "short", "Hi", "zero width" 9 and 0,
// "a text muc" 8 and 0, "Hg" and "Hig" 9 and 2, "gy" 6 and 2.
struct TextRenderTest : RenderTest {
    std::vector<std::string> arguments() override { return {"-fn", "6x13"}; }
};

// The text of a record at (100, 100), drawn by hand at the baseline
// position worked out from the box, the text's extents and its flags.
TEST_F(TextRenderTest, TextIsFittedAndPlaced) {
    struct {
        ObjType type;
        float w, h;
        int flags;
        const char *text;
        int shown;   // characters drawn
        int tx, ty;  // where they are drawn
    } cases[] = {
        // 100 + (0 - 60 - 1) / 2 = 70; 100 + (9 - 0 - 1 + 0) / 2 = 104
        {ObjText, 0, 0, posCentred, "ABCDEFGHIJKLMNO", 10, 70, 104},
        // 100 + 1; 100 + 0 - 0 - 1
        {ObjText, 0, 0, posLeft | posBottom, "short", 5, 101, 99},
        // 100 + (40 - 12 - 1) / 2 = 113; 100 + (9 - 0 - 1 + 20) / 2 = 114
        {ObjFramedBox, 40, 20, posCentred, "Hi", 2, 113, 114},
        {ObjFramedBox, 41, 20, posCentred, "Hi", 2, 114, 114},
        // 100 + (40 - 18 - 1) / 2 = 110; 100 + (9 - 2 - 1 + 20) / 2 = 113
        {ObjFramedBox, 40, 20, posCentred, "Hig", 3, 110, 113},
        // cut to "a text muc", 60 wide: 100 + (40 - 60 - 1) / 2 = 90; 100 + (8 - 1 + 20) / 2 = 113
        {ObjFramedBox, 40, 20, posCentred, "a text much wider than its box", 10, 90, 113},
        // 100 + 1; 100 + 9 + 1
        {ObjFramedBox, 100, 30, posTop | posLeft, "Hg", 2, 101, 110},
        // 100 + 100 - 12 - 1 = 187; 100 + 30 - 2 - 1 = 127
        {ObjDashedBox, 100, 30, posBottom | posRight, "gy", 2, 187, 127},
        // a plain text's 10 characters: 100 + (0 - 60 - 1) / 2 = 70; 100 + (9 - 1 + 20) / 2 = 114
        {ObjFramedBox, 0, 20, posCentred, "zero width but tall", 10, 70, 114},
        // a sized \makebox draws no frame: 100 + (60 - 12 - 1) / 2 = 123; 100 + (9 - 0 - 1 + 20) / 2 = 114
        {ObjText, 60, 20, posCentred, "Hi", 2, 123, 114},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.text);
        ObjRecord *r = record(c.type, 100, 100, c.w, c.h, 5);
        r->flags = c.flags;
        ObjSetText(r, c.text);
        XImage *drawn = draw(r);

        int w = static_cast<int>(c.w), h = static_cast<int>(c.h);
        clear();
        if ((w != 0 || h != 0) && c.type != ObjText) XDrawRectangle(d, this->w, c.type == ObjDashedBox ? dashGC : drawGC, 100, 100, w, h);
        XDrawString(d, this->w, drawGC, c.tx, c.ty, c.text, c.shown);
        XSync(d, False);
        XImage *expected = canvasImage();
        EXPECT_TRUE(sameImage(drawn, expected));
        XDestroyImage(drawn);
        XDestroyImage(expected);
        ObjFree(r);
    }
}

TEST_F(RenderTest, OutlinesDrawnTwiceLeaveTheCanvasAsItWas) {
    ObjRecord *under = record(ObjFilledBox, 40, 40, 200, 200);
    ObjDraw(under, d, w);
    XSync(d, False);
    XImage *before = canvasImage();
    struct {
        ObjType type;
        int count;
        XPoint p[3];
    } cases[] = {
        {ObjLine, 2, {{10, 10}, {300, 200}}},       {ObjVector, 2, {{300, 10}, {10, 300}}},
        {ObjFramedBox, 2, {{200, 200}, {20, 30}}},  {ObjOval, 2, {{20, 30}, {200, 250}}},
        {ObjCircle, 2, {{100, 100}, {160, 100}}},   {ObjDisc, 2, {{100, 100}, {40, 100}}},
        {ObjBezier, 2, {{10, 10}, {250, 90}}},      {ObjBezier, 3, {{10, 10}, {250, 90}, {100, 300}}},
        {ObjText, 1, {{50, 50}}},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.type);
        ObjRubber(c.type, d, w, c.p, c.count);
        XSync(d, False);
        XImage *shown = canvasImage();
        EXPECT_EQ(sameImage(shown, before), c.count < 2);
        XDestroyImage(shown);
        ObjRubber(c.type, d, w, c.p, c.count);
        XSync(d, False);
        XImage *after = canvasImage();
        EXPECT_TRUE(sameImage(after, before));
        XDestroyImage(after);
    }
    XDestroyImage(before);
    ObjFree(under);
}

TEST_F(RenderTest, TooManyOutlinePointsDrawNothing) {
    XPoint p[4] = {{1, 1}, {2, 2}, {3, 3}, {4, 4}};
    testing::internal::CaptureStderr();
    ObjRubber(ObjBezier, d, w, p, 4);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "ObjRubber: 4 points illegal\n");
}

// A redraw sends the shapes of all objects together; what it leaves on
// the canvas must be what drawing the objects one by one leaves, for every
// kind of object, thin and thick, a multiput's copies among them.
TEST_F(RenderTest, ExposeRedrawsEveryRecord) {
    std::vector<ObjRecord *> records = {
        record(ObjFilledBox, 10, 10, 50, 50),
        record(ObjLine, 0, 300, 400, 300),
        record(ObjCircle, 250, 150, 40, 0),
        record(ObjDisc, 320, 60, 12, 0),
        record(ObjVector, 20, 500, 120, 450),
        record(ObjFramedBox, 150, 380, 90, 30),
        record(ObjDashedBox, 260, 380, 90, 30),
        record(ObjOval, 380, 420, 80, 40, 10),
        record(ObjBezier, 30, 200, 90, 120, 150),
        record(ObjText, 200, 250, 0, 0),
        record(ObjVerbatim, 400, 300, 0, 0),
    };
    records[8]->y3 = 230;
    ObjSetText(records[5], "framed");
    ObjSetText(records[9], "text");
    records[10]->source = static_cast<char *>(XtMalloc(32));
    snprintf(records[10]->source, 32, "{\\color{red}x}");
    ObjRecord *multi = record(ObjMultiput, 10, 560, 30, -4);
    multi->count = 4;
    multi->body = record(ObjCircle, 10, 560, 6, 0);
    multi->body->next = record(ObjLine, 10, 560, 20, 540);
    records.push_back(multi);
    // Thick copies of every kind, below and right of the thin ones.
    float zoom = zoomFactor;
    zoomFactor = 2;
    size_t thin = records.size();
    for (size_t i = 0; i < thin; i++) {
        ObjRecord *thick = ObjNew(records[i]->type);
        ObjCopy(records[i], thick);
        ObjMove(thick, 37, 23);
        thick->thickLines = 1;
        if (i % 2) thick->lineWidth = 2.5f;
        records.push_back(thick);
    }
    for (ObjRecord *r : records) linkObject(r);
    clear();
    for (ObjRecord *r = objectList; r; r = r->next) ObjDraw(r, d, w);
    XSync(d, False);
    XImage *direct = canvasImage();
    clearCanvas(true);  // clears, then the expose handler redraws
    idle();
    XImage *redrawn = canvasImage();
    EXPECT_TRUE(sameImage(direct, redrawn));
    EXPECT_GT(inkCount(redrawn), 5000);
    zoomFactor = zoom;
    XDestroyImage(direct);
    XDestroyImage(redrawn);
}

TEST_F(RenderTest, FarAwayObjectsDrawNoGarbage) {
    ObjRecord *far = record(ObjLine, 1e9f, 1e9f, 2e9f, -1e9f);
    ObjRecord *big = record(ObjCircle, 250, 300, 1e7f, 0);
    XImage *a = draw(far);
    EXPECT_EQ(inkCount(a), 0);
    XImage *b = draw(big);
    EXPECT_LT(inkCount(b), 500 * 600);
    XDestroyImage(a);
    XDestroyImage(b);
    ObjFree(far);
    ObjFree(big);
}

// What files of other tools add: only the part of an oval, a curve of
// dots, copies of a multiput, lines as wide as their thickness.
TEST_F(RenderTest, PartsDotsCopiesAndThickness) {
    ObjRecord *oval = record(ObjOval, 100, 300, 80, 40, 10);
    oval->part = ovalTop | ovalLeft;
    XImage *img = draw(oval);
    EXPECT_EQ(at(img, 120, 300), fg);  // the top side's left half
    EXPECT_EQ(at(img, 100, 315), fg);  // the left side's top half
    EXPECT_EQ(at(img, 160, 300), bg);  // not the right half
    EXPECT_EQ(at(img, 100, 335), bg);  // not the bottom half
    EXPECT_EQ(at(img, 180, 320), bg);
    XDestroyImage(img);

    ObjRecord *dotted = ObjNew(ObjBezier);
    dotted->x = 300, dotted->y = 100, dotted->x2 = 350, dotted->y2 = 100, dotted->x3 = 400, dotted->y3 = 100;
    dotted->dots = 11;  // a straight curve: a dot every 10 pixels
    img = draw(dotted);
    EXPECT_EQ(inkCount(img), 11);
    EXPECT_EQ(at(img, 350, 100), fg);
    EXPECT_EQ(at(img, 355, 100), bg);
    XDestroyImage(img);

    ObjRecord *multi = record(ObjMultiput, 10, 400, 30, -10);
    multi->count = 3;
    multi->body = record(ObjFilledBox, 10, 400, 4, 4);
    img = draw(multi);
    EXPECT_EQ(inkCount(img), 3 * 16);
    EXPECT_EQ(at(img, 41, 391), fg);  // the second copy
    EXPECT_EQ(at(img, 71, 381), fg);  // the third
    XDestroyImage(img);

    // 0.8 pt at 1 pt and zoom 2: 1.6 pixels, drawn 2 wide; 3 pt: 6 pixels.
    float zoom = zoomFactor;
    zoomFactor = 2;
    ObjRecord *thick = record(ObjLine, 10, 200, 110, 200);
    thick->thickLines = 1;
    img = draw(thick);
    EXPECT_NEAR(inkCount(img), 2 * 100, 4);
    XDestroyImage(img);
    thick->lineWidth = 3;
    img = draw(thick);
    EXPECT_NEAR(inkCount(img), 6 * 100, 12);
    XDestroyImage(img);
    ObjRecord *thin = record(ObjLine, 10, 200, 110, 200);  // thin lines stay one pixel at any zoom
    img = draw(thin);
    EXPECT_NEAR(inkCount(img), 100, 2);
    XDestroyImage(img);
    zoomFactor = zoom;

    for (ObjRecord *r : {oval, dotted, multi, thick, thin}) ObjFree(r);
}

// Ovals entered at 1 pt and zoom 1 show round corners, as LaTeX draws them.
TEST_F(RenderTest, OvalsHaveRoundCorners) {
    const struct {
        short w, h;
    } sizes[] = {{60, 30}, {40, 18}, {80, 22}, {50, 31}, {40, 20}};
    for (auto &c : sizes) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        ObjRecord *r = ObjNew(ObjOval);
        XPoint points[2] = {{100, 100}, {static_cast<short>(100 + c.w), static_cast<short>(100 + c.h)}};
        ObjStore(r, points);
        XImage *img = draw(r);
        for (int x : {100, 100 + c.w})
            for (int y : {100, 100 + c.h}) EXPECT_EQ(at(img, x, y), bg) << "corner " << x << "," << y;
        EXPECT_TRUE(inkNear(img, 100 + c.w / 2, 100, fg));
        EXPECT_TRUE(inkNear(img, 100, 100 + c.h / 2, fg));
        XDestroyImage(img);
        ObjFree(r);
    }
}
