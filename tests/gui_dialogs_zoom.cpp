// The zoom dialog and the zoom button's label.
#include <gtest/gtest.h>

#include <X11/StringDefs.h>
#include <ostream>
#include <string>
#include <vector>

#include "canvas/Canvas.h"
#include "canvas/Pick.h"
#include "canvas/PointEntry.h"
#include "canvas/View.h"
#include "harness/Editor.h"
#include "objects/Constrain.h"
#include "objects/Scale.h"
#include "shell/Globals.h"
#include "shell/ZoomLabel.h"

using namespace harness;

namespace {

void start(std::vector<std::string> args = {}) {
    // The dialog beside the main window, not over the canvas.
    args.insert(args.begin(), {"-xrm", "*zoomShell.geometry: +620+300"});
    startEditor(args);
}

// Zooms through the dialog: typed into the field, confirmed with a key.
void zoomTo(const char *percent, const char *confirm = "Return") {
    pressButton(zoomButton);
    typeInto(factorField, percent);
    key(appContext, confirm);
}

void line(int x0, int y0, int x1, int y1) {
    chooseMenu("draw", "line");
    canvasClick(x0, y0);
    canvasClick(x1, y1);
    canvasClick(x1, y1, 3);  // ends the chain
}

std::vector<int> inkInRow(int y) {
    XImage *im = canvasImage();
    std::vector<int> v;
    for (int x = 0; x < im->width; x++)
        if (XGetPixel(im, x, y) != canvasBackground()) v.push_back(x);
    XDestroyImage(im);
    return v;
}

std::vector<int> span(int from, int to) {
    std::vector<int> v;
    for (int x = from; x <= to; x++) v.push_back(x);
    return v;
}

std::string labelAt(int x, int y) {
    canvasMove(x, y);
    return labelOf(coord);
}

struct ZoomCase {
    const char *typed;
    const char *key;
    const char *label;
    float factor;
};
std::ostream &operator<<(std::ostream &o, const ZoomCase &c) { return o << "'" << c.typed << "'"; }

}  // namespace

class DialogsZoomField : public testing::TestWithParam<ZoomCase> {};

TEST_P(DialogsZoomField, SetsTheZoomAndLabelAndKeepsTheTypedText) {
    start();
    zoomTo(GetParam().typed, GetParam().key);
    EXPECT_EQ(labelOf(zoomButton), GetParam().label);
    EXPECT_EQ(zoomFactor, GetParam().factor);
    EXPECT_EQ(stringResource(factorField, XtNstring), GetParam().typed);
    EXPECT_FALSE(shellUp(zoomShell));
    EXPECT_TRUE(XtIsSensitive(zoomButton));
}

INSTANTIATE_TEST_SUITE_P(Texts, DialogsZoomField,
                         testing::Values(ZoomCase{"200", "Return", "Zoom 200%", 2.0f},
                                         ZoomCase{"20", "KP_Enter", "Zoom 25%", 0.25f},
                                         ZoomCase{"1000", "Return", "Zoom 400%", 4.0f},
                                         ZoomCase{"abc", "KP_Enter", "Zoom 100%", 1.0f}));

TEST(DialogsZoom, DoublesTheDrawingAboutTheTopLeftCornerAndKeepsPictureCoordinates) {
    start();
    line(50, 100, 150, 100);
    std::vector<int> drawn = inkInRow(100);
    ASSERT_FALSE(drawn.empty());
    std::string end = labelAt(150, 100);
    ASSERT_EQ(end, "x= 150.0 y= 500.0");
    float ox = originX, oy = originY;

    zoomTo("200");
    ASSERT_EQ(countObjects(), 1);
    EXPECT_EQ(objectList->x, 100);
    EXPECT_EQ(objectList->y, 200);
    EXPECT_EQ(objectList->x2, 300);
    EXPECT_EQ(inkInRow(100), std::vector<int>());
    EXPECT_EQ(inkInRow(200), span(2 * drawn.front(), 2 * drawn.front() + 2 * drawn.size() - 1));
    EXPECT_EQ(labelAt(300, 200), end);
    EXPECT_EQ(originX, ox);
    EXPECT_EQ(originY, oy);
}

TEST(DialogsZoom, ThereAndBackReturnsEveryObjectToItsPlaceAndDropsTheSelection) {
    start();
    line(40, 500, 240, 400);
    chooseMenu("draw", "filled");
    canvasClick(300, 100);
    canvasClick(350, 180);
    chooseMenu("draw", "circle");
    canvasClick(120, 150);
    canvasClick(140, 150);
    ASSERT_EQ(countObjects(), 3);
    std::vector<ObjRecord> before;
    for (ObjRecord *r = objectList; r; r = r->next) before.push_back(*r);
    XImage *drawn = canvasImage();
    chooseMenu("draw", "pick");
    canvasClick(320, 150);
    ASSERT_NE(selectedObj, nullptr);

    zoomTo("400");
    EXPECT_EQ(selectedObj, nullptr);
    EXPECT_EQ(objectList->x, 4 * before[0].x);
    zoomTo("100");
    size_t i = 0;
    for (ObjRecord *r = objectList; r; r = r->next, i++) {
        ASSERT_LT(i, before.size());
        const ObjRecord &b = before[i];
        EXPECT_TRUE(r->x == b.x && r->y == b.y && r->x2 == b.x2 && r->y2 == b.y2 && r->x3 == b.x3)
            << "object " << i;
    }
    XImage *again = canvasImage();
    EXPECT_TRUE(sameImage(drawn, again));
    XDestroyImage(drawn);
    XDestroyImage(again);
}

// The point entered before a zoom is given up with its outline: the next
// click starts a new line instead of ending one at the old pixel.
TEST(DialogsZoom, ZoomDuringAnEntryAbandonsIt) {
    start();
    chooseMenu("draw", "line");
    canvasClick(100, 100);
    canvasMove(200, 150);
    zoomTo("200");
    EXPECT_EQ(pointCount, 0);
    canvasMove(300, 300);
    XImage *im = canvasImage();
    EXPECT_EQ(inkCount(im), 0);
    XDestroyImage(im);
    canvasClick(300, 300);
    EXPECT_EQ(countObjects(), 0);
    canvasClick(400, 300);
    ASSERT_EQ(countObjects(), 1);
    EXPECT_EQ(objectList->x, 300);
    EXPECT_EQ(objectList->x2, 400);
}

TEST(DialogsZoom, FocusOfTheDialogIsTheField) {
    start();
    pressButton(zoomButton);
    // The pointer over the dialog's label: the keys still go to the field.
    Widget label = XtNameToWidget(zoomShell, "entry.zoom");
    moveTo(appContext, label, 2, 2);
    key(appContext, "End");
    for (int i = 0; i < 3; i++) key(appContext, "BackSpace");
    typeText(appContext, "50");
    key(appContext, "Return");
    EXPECT_EQ(labelOf(zoomButton), "Zoom 50%");
}

TEST(DialogsZoom, HostileLabelResourceIsNeverUsedAsAFormat) {
    start({"-xrm", "*menuLine.zoom.label: %s%s%n"});
    EXPECT_EQ(labelOf(zoomButton), "Zoom 100%");
    zoomTo("200");
    EXPECT_EQ(labelOf(zoomButton), "Zoom 200%");
}

TEST(DialogsZoomLabel, OnlyFormatsWithAtMostOneIntegerConversionAreUsed) {
    struct {
        const char *format;
        const char *label;
    } cases[] = {
        {"Zoom %0d%%", "Zoom 150%"},
        {"%5d|", "  150|"},
        {"%-5i|", "150  |"},
        {"x%x %%", "x96 %"},
        {"%.4d", "0150"},
        {"Fixed", "Fixed"},
        {"%%d", "%d"},
        {"%s%s%n", "Zoom 150%"},
        {"%d%d", "Zoom 150%"},
        {"%ld", "Zoom 150%"},
        {"%1$d", "Zoom 150%"},
        {"%*d", "Zoom 150%"},
        {"%f", "Zoom 150%"},
        {"50%", "Zoom 150%"},
        {"%9999d", "Zoom 150%"},
        {"%c", "Zoom 150%"},
        {"%#x", "0x96"},
        {"%#d", "Zoom 150%"},
    };
    for (auto &c : cases) {
        char out[64];
        formatZoomLabel(c.format, 150, out, sizeof out);
        EXPECT_STREQ(out, c.label) << c.format;
    }
    char small[6];
    formatZoomLabel("Zoom %d%%", 150, small, sizeof small);
    EXPECT_STREQ(small, "Zoom ");
}
