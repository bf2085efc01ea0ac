#include <gtest/gtest.h>

#include <X11/Shell.h>
#include <X11/StringDefs.h>
#include <X11/Xaw/Toggle.h>
#include <cstring>

#include "canvas/Canvas.h"
#include "canvas/Pick.h"
#include "canvas/PointEntry.h"
#include "harness/Editor.h"
#include "shell/FileCommands.h"
#include "shell/Globals.h"
#include "shell/TextPlacement.h"

using namespace harness;

namespace {

struct TextTest : testing::Test {
    void SetUp() override { startEditor(); }
    void TearDown() override { freeAllObjects(); }

    Widget dialog() { return find("*textPlacement"); }
    std::string title() { return stringResource(dialog(), XtNtitle); }
    bool shadowSensitive() { return XtIsSensitive(find("*textPlacement*shadow")); }
    long position() { return reinterpret_cast<long>(XawToggleGetCurrent(find("*textPlacement*justTopLeft"))); }
    bool shadowSet(const char *name) { return booleanResource(find((std::string("*textPlacement*") + name).c_str()), XtNstate); }
    std::string fieldText() { return stringResource(find("*textPlacement*text"), XtNstring); }
    // Keys go to the window under the pointer: put it on the text field.
    void type(const char *text) {
        moveTo(appContext, find("*textPlacement*text"), 5, 5);
        typeText(appContext, text);
    }
    void typeKey(const char *keysym) {
        moveTo(appContext, find("*textPlacement*text"), 5, 5);
        key(appContext, keysym);
    }
    void choose(const char *toggle) { pressButton(find((std::string("*textPlacement*") + toggle).c_str())); }

    // A record linked in and drawn, as the reader would leave it.
    ObjRecord *addBox(ObjType type, float x, float y, float w, float h, const char *text, int flags, int shadow) {
        ObjRecord *rec = ObjNew(type);
        rec->x = x, rec->y = y, rec->x2 = w, rec->y2 = h, rec->x3 = 5;
        ObjSetText(rec, text);
        rec->flags = flags;
        rec->shadow = shadow;
        linkObject(rec);
        refreshCommand(nullptr, nullptr, nullptr);
        idle();
        return rec;
    }
    void select(ObjRecord *rec) {
        chooseMenu("draw", "pick");
        canvasClick(static_cast<int>(rec->x), static_cast<int>(rec->y));
        ASSERT_EQ(selectedObj, rec);
    }
};

}  // namespace

TEST_F(TextTest, TextModeOneClickStoresTheTypedText) {
    chooseMenu("draw", "text");
    canvasClick(400, 450);
    ASSERT_TRUE(shellUp(dialog()));
    EXPECT_EQ(title(), "Text Placement");
    EXPECT_FALSE(shadowSensitive());
    type("x");
    typeKey("Return");
    EXPECT_FALSE(shellUp(dialog()));
    ASSERT_EQ(countObjects(), 1);
    EXPECT_EQ(objectList->type, ObjText);
    EXPECT_STREQ(objectList->text, "x");
    EXPECT_EQ(objectList->flags, posCentred);
    EXPECT_EQ(objectList->x, 400);
    EXPECT_EQ(objectList->y, 450);
    EXPECT_EQ(pointCount, 0);
    EXPECT_TRUE(modified);
    XImage *shown = canvasImage();
    int ink = 0;
    for (int y = 440; y < 460; y++)
        for (int x = 390; x < 410; x++) ink += XGetPixel(shown, x, y) != canvasBackground();
    EXPECT_GT(ink, 0);
    XDestroyImage(shown);
}

TEST_F(TextTest, ATypedTabIsNotStored) {
    chooseMenu("draw", "text");
    canvasClick(400, 450);
    type("a");
    typeKey("Tab");
    type("b");
    typeKey("Return");
    ASSERT_EQ(countObjects(), 1);
    EXPECT_STREQ(objectList->text, "ab");
    // The next dialog edits the cleaned text: typing at its end extends it.
    canvasClick(300, 500);
    EXPECT_EQ(fieldText(), "ab");
    typeKey("End");
    type("c");
    typeKey("Return");
    ASSERT_EQ(countObjects(), 2);
    EXPECT_STREQ(objectList->text, "abc");
}

// A typed "%" is held as the file will have it, "\%"; the field shows it.
TEST_F(TextTest, ATypedPercentIsStoredEscaped) {
    chooseMenu("draw", "text");
    canvasClick(400, 450);
    type("50% \\%");
    typeKey("Return");
    ASSERT_EQ(countObjects(), 1);
    EXPECT_STREQ(objectList->text, "50\\% \\%");
    canvasClick(300, 500);
    EXPECT_EQ(fieldText(), "50\\% \\%");
    typeKey("Escape");
}

TEST_F(TextTest, TheNextDialogStartsWithTheLastChoices) {
    chooseMenu("draw", "framed");
    canvasClick(300, 350);
    canvasClick(450, 450);
    type("x");
    choose("justTopLeft");
    choose("framedShadow");
    typeKey("Return");
    ASSERT_EQ(countObjects(), 1);
    EXPECT_EQ(objectList->flags, 17);
    EXPECT_EQ(objectList->shadow, 1);

    chooseMenu("draw", "text");
    canvasClick(400, 520);
    ASSERT_TRUE(shellUp(dialog()));
    EXPECT_EQ(fieldText(), "x");
    EXPECT_EQ(position(), 17);
    EXPECT_TRUE(shadowSet("framedShadow"));
    typeKey("KP_Enter");
    ASSERT_EQ(countObjects(), 2);
    EXPECT_EQ(objectList->type, ObjText);
    EXPECT_STREQ(objectList->text, "x");
    EXPECT_EQ(objectList->flags, 17);
    EXPECT_EQ(objectList->shadow, 1);
}

TEST_F(TextTest, FramedBoxKeepsItsOutlineUntilEscapeRemovesIt) {
    chooseMenu("draw", "framed");
    canvasMove(300, 350);
    XImage *before = canvasImage();
    canvasClick(300, 350);
    canvasClick(450, 450);
    ASSERT_TRUE(shellUp(dialog()));
    EXPECT_EQ(title(), "Framed Box Text Placement");
    EXPECT_TRUE(shadowSensitive());
    XImage *during = canvasImage();
    EXPECT_EQ(XGetPixel(during, 375, 350), canvasForeground());
    EXPECT_EQ(XGetPixel(during, 450, 400), canvasForeground());
    XDestroyImage(during);
    typeKey("Escape");
    EXPECT_FALSE(shellUp(dialog()));
    EXPECT_EQ(countObjects(), 0);
    EXPECT_EQ(pointCount, 0);
    XImage *after = canvasImage();
    EXPECT_TRUE(sameImage(before, after));
    XDestroyImage(before);
    XDestroyImage(after);

    // The next click starts a new box.
    canvasClick(320, 370);
    EXPECT_EQ(pointCount, 1);
    EXPECT_FALSE(shellUp(dialog()));
    canvasClick(400, 420);
    ASSERT_TRUE(shellUp(dialog()));
    pressButton(find("*textPlacement*confirm"));
    ASSERT_EQ(countObjects(), 1);
    EXPECT_EQ(objectList->type, ObjFramedBox);
    EXPECT_EQ(objectList->x, 320);
    EXPECT_EQ(objectList->y, 370);
    EXPECT_EQ(objectList->x2, 80);
    EXPECT_EQ(objectList->y2, 50);
    EXPECT_EQ(objectList->shadow, 0);
}

TEST_F(TextTest, EditTextIgnoresNoSelectionAndLines) {
    chooseMenu("edit", "editText");
    EXPECT_FALSE(shellUp(dialog()));
    ObjRecord *line = ObjNew(ObjLine);
    line->x = 300, line->y = 400, line->x2 = 400, line->y2 = 400;
    linkObject(line);
    select(line);
    chooseMenu("edit", "editText");
    EXPECT_FALSE(shellUp(dialog()));
}

TEST_F(TextTest, EditTextOnADashedBox) {
    ObjRecord *box = addBox(ObjDashedBox, 300, 350, 150, 100, "dash", 65, 2);
    select(box);
    chooseMenu("edit", "editText");
    ASSERT_TRUE(shellUp(dialog()));
    EXPECT_EQ(title(), "Dashed Box Text Placement");
    EXPECT_EQ(fieldText(), "dash");
    EXPECT_EQ(position(), 65);
    EXPECT_TRUE(shadowSet("filledShadow"));
    EXPECT_TRUE(shadowSensitive());
    pressButton(find("*textPlacement*cancel"));
    EXPECT_FALSE(shellUp(dialog()));
    EXPECT_STREQ(box->text, "dash");
    EXPECT_EQ(box->flags, 65);
    EXPECT_EQ(box->shadow, 2);
    EXPECT_FALSE(modified);

    XImage *old = canvasImage();
    chooseMenu("edit", "editText");
    typeKey("End");
    type("ed");
    typeKey("Return");
    EXPECT_STREQ(box->text, "dashed");
    EXPECT_TRUE(modified);
    // Drawn at once: the canvas already shows what a full redraw shows.
    XImage *shown = canvasImage();
    EXPECT_FALSE(sameImage(old, shown));
    refreshCommand(nullptr, nullptr, nullptr);
    idle();
    XImage *redrawn = canvasImage();
    EXPECT_TRUE(sameImage(shown, redrawn));
    XDestroyImage(old);
    XDestroyImage(shown);
    XDestroyImage(redrawn);
}

// Ok after an edit erases the old text: the canvas shows what a full
// redraw shows, for a box and a plain text.
TEST_F(TextTest, EditedTextReplacesTheOldOne) {
    ObjRecord *box = addBox(ObjFramedBox, 300, 350, 150, 100, "WWWWWWWW", 34, 0);
    ObjRecord *text = addBox(ObjText, 100, 150, 0, 0, "MMMMMMMM", 34, 0);
    for (ObjRecord *rec : {box, text}) {
        select(rec);
        chooseMenu("edit", "editText");
        ASSERT_TRUE(shellUp(dialog()));
        typeKey("End");
        for (int i = 0; i < 8; i++) typeKey("BackSpace");
        type("il");
        typeKey("Return");
        EXPECT_STREQ(rec->text, "il");
        XImage *shown = canvasImage();
        refreshCommand(nullptr, nullptr, nullptr);
        idle();
        XImage *redrawn = canvasImage();
        EXPECT_TRUE(sameImage(shown, redrawn));
        XDestroyImage(shown);
        XDestroyImage(redrawn);
    }
}

TEST_F(TextTest, EditTextShowsTheObjectsOwnShadow) {
    ObjRecord *plain = addBox(ObjFramedBox, 300, 300, 100, 60, "p", posCentred, 0);
    ObjRecord *filled = addBox(ObjFramedBox, 300, 400, 100, 60, "f", 20, 2);
    select(filled);
    chooseMenu("edit", "editText");
    EXPECT_TRUE(shadowSet("filledShadow"));
    pressButton(find("*textPlacement*cancel"));
    canvasClick(300, 300);
    ASSERT_EQ(selectedObj, plain);
    chooseMenu("edit", "editText");
    EXPECT_TRUE(shadowSet("noShadow"));
    EXPECT_EQ(position(), posCentred);
    typeKey("Return");
    EXPECT_EQ(plain->shadow, 0);
    EXPECT_EQ(plain->flags, posCentred);

    ObjRecord *text = addBox(ObjText, 200, 550, 0, 0, "t", 36, 0);
    canvasClick(200, 550);
    ASSERT_EQ(selectedObj, text);
    chooseMenu("edit", "editText");
    EXPECT_EQ(title(), "Text Placement");
    EXPECT_FALSE(shadowSensitive());
    typeKey("Escape");
    EXPECT_FALSE(shellUp(dialog()));
}

TEST(KeepPrintable, DropsControlAndHighCharacters) {
    struct {
        const char *in, *out;
    } cases[] = {{"a\tb", "ab"}, {"\x01x\x7f y~\x80\xff", "x y~"}, {"", ""}, {"\n\r", ""}};
    for (auto &c : cases) {
        char buf[32];
        strcpy(buf, c.in);
        keepPrintable(buf);
        EXPECT_STREQ(buf, c.out);
    }
}

TEST_F(TextTest, TheFieldTakesLongTexts) {
    chooseMenu("draw", "text");
    canvasClick(400, 450);
    std::string many(300, 'm');
    type(many.c_str());
    typeKey("Return");
    ASSERT_EQ(countObjects(), 1);
    EXPECT_EQ(std::string(objectList->text), many);
    // Edit Text shows it whole and keeps it so.
    chooseMenu("draw", "pick");
    canvasClick(400, 450);
    chooseMenu("edit", "editText");
    EXPECT_EQ(fieldText(), many);
    typeKey("End");
    type("n");
    typeKey("Return");
    EXPECT_EQ(std::string(objectList->text), many + "n");
}
