// ScrollingText and Viewlist under a real X server, with real keys.
#include "selector_support.h"

#include <X11/IntrinsicP.h>
#include <X11/Composite.h>
#include <X11/Xaw/List.h>

#include <vector>

#include "selector/ScrollingTextP.h"
#include "selector/ViewlistP.h"

using selector_test::App;
using selector_test::textOf;

namespace {

// A 120-pixel ScrollingText alone in its shell, the pointer over it.
struct Field {
    App app;
    Widget field = nullptr;
    Widget text = nullptr;

    explicit Field(bool scroll = true) {
        field = XtVaCreateManagedWidget("field", scrollingTextWidgetClass, app.top, XtNwidth, 120,
                                        XtNscrollOnMovement, scroll, nullptr);
        XtVaGetValues(field, XtNtextWidget, &text, nullptr);
        XtVaSetValues(text, XtNeditType, XawtextEdit, nullptr);
        XtRealizeWidget(app.top);
        app.pump();
        harness::moveTo(app.app, field, 3, 3);
    }
    ScrollingTextPart &part() const { return reinterpret_cast<ScrollingTextWidget>(field)->scrolling_text; }
    int cell() const { return part().char_width; }
    int x() const { return text->core.x; }
    // The caret's distance from the porthole's right edge, in pixels.
    int caretGap(int glyph = 0) const {
        Position margin = 0;
        XtVaGetValues(text, XtNleftMargin, &margin, nullptr);
        int caret = (glyph ? glyph : cell()) * static_cast<int>(XawTextGetInsertionPoint(text));
        return field->core.width - (x() + margin + caret);
    }
    void type(int n) const {
        for (int i = 0; i < n; i++) harness::typeText(app.app, "m");
    }
    void keys(const char *name, int n) const {
        for (int i = 0; i < n; i++) harness::key(app.app, name);
    }
};

TEST(SelectorScrollingText, TypingKeepsCaretInViewAndDeletingReturnsToLeftEdge) {
    Field f;
    ASSERT_EQ(f.cell(), 6);
    const int fits = f.field->core.width / f.cell() - 2;  // cells before scrolling starts
    for (int n = 1; n <= 40; n++) {
        f.type(1);
        if (n < fits) {
            EXPECT_EQ(f.x(), -1) << n << " characters";
        } else {
            EXPECT_GE(f.caretGap(), f.cell()) << n << " characters";
            EXPECT_LE(f.caretGap(), 2 * f.cell()) << n << " characters";
        }
        EXPECT_EQ(f.text->core.width % f.cell(), 0);
        EXPECT_GE(static_cast<int>(f.text->core.width), f.cell() * (n + 1));
    }
    EXPECT_LT(f.x(), -100);
    f.keys("BackSpace", 40);
    EXPECT_EQ(textOf(f.text), "");
    EXPECT_EQ(f.x(), -1);
}

TEST(SelectorScrollingText, MotionScrollsOnlyWithScrollOnMovement) {
    Field f(false);
    EXPECT_EQ(f.part().action_hook, nullptr);
    f.type(40);
    const int scrolled = f.x();
    ASSERT_LT(scrolled, -100);

    f.keys("Left", 40);
    EXPECT_EQ(XawTextGetInsertionPoint(f.text), 0);
    EXPECT_EQ(f.x(), scrolled) << "motion scrolled without scrollOnMovement";
    f.type(1);  // an edit follows the caret
    EXPECT_EQ(f.x(), -1);

    harness::key(f.app.app, "End");
    f.keys("Right", 41);
    EXPECT_EQ(f.x(), -1);
    XtVaSetValues(f.field, XtNscrollOnMovement, True, nullptr);
    EXPECT_NE(f.part().action_hook, nullptr);
    f.keys("Left", 1);
    f.keys("Right", 1);
    EXPECT_LE(f.caretGap(), 2 * f.cell());
    f.keys("Left", 41);
    EXPECT_EQ(f.x(), -1);

    XtVaSetValues(f.field, XtNscrollOnMovement, False, nullptr);
    EXPECT_EQ(f.part().action_hook, nullptr);
}

TEST(SelectorScrollingText, BurstOfMotionsQueuesOneFollow) {
    Field f;
    f.type(40);
    Display *d = f.app.display();
    KeySym left = XStringToKeysym("Left");

    selector_test::keysWithoutIdle(f.app.app, d, left, 1);
    const XtWorkProcId queued = f.part().pending_work;
    ASSERT_NE(queued, 0u);
    const int before = f.x();
    selector_test::keysWithoutIdle(f.app.app, d, left, 25);
    EXPECT_EQ(f.part().pending_work, queued);
    EXPECT_EQ(f.x(), before) << "followed before the loop was idle";
    EXPECT_EQ(XawTextGetInsertionPoint(f.text), 40 - 26);

    f.app.pump();
    EXPECT_EQ(f.part().pending_work, 0u);
    EXPECT_NE(f.x(), before);
    EXPECT_GE(f.caretGap(), f.cell());
}

TEST(SelectorScrollingText, DestroyRemovesQueuedFollow) {
    Field f;
    f.type(30);
    selector_test::keysWithoutIdle(f.app.app, f.app.display(), XStringToKeysym("Left"), 3);
    ASSERT_NE(f.part().pending_work, 0u);
    XtDestroyWidget(f.field);
    // A follow left queued would read the destroyed widget here: the
    // sanitized build reports that use after free and fails the test.
    f.app.pump();
}

TEST(SelectorScrollingText, NoKeyPutsALineBreakIntoTheText) {
    Field f;
    Display *d = f.app.display();
    // Xvfb's keymap has no Linefeed key: lend it a free keycode.
    if (XKeysymToKeycode(d, XK_Linefeed) == 0) {
        int low, high;
        XDisplayKeycodes(d, &low, &high);
        KeySym sym = XK_Linefeed;
        XChangeKeyboardMapping(d, high, 1, &sym, 1);
        XSync(d, False);
        f.app.pump();
    }
    // Each stroke is a list of keys held together; a case is a sequence.
    using Stroke = std::vector<KeySym>;
    struct Case {
        const char *name;
        std::vector<Stroke> strokes;
    } cases[] = {
        {"Return", {{XK_Return}}},
        {"Linefeed", {{XK_Linefeed}}},
        {"KP_Enter", {{XK_KP_Enter}}},
        {"Shift+Return", {{XK_Shift_L, XK_Return}}},
        {"Ctrl+J", {{XK_Control_L, XK_j}}},
        {"Ctrl+M", {{XK_Control_L, XK_m}}},
        {"Ctrl+O", {{XK_Control_L, XK_o}}},
        {"Ctrl+Q Ctrl+J", {{XK_Control_L, XK_q}, {XK_Control_L, XK_j}}},
        {"Ctrl+Q Return", {{XK_Control_L, XK_q}, {XK_Return}}},
    };
    for (const Case &c : cases) {
        selector_test::setText(f.text, "ab");
        f.app.pump();
        for (const Stroke &stroke : c.strokes) {
            for (KeySym sym : stroke) XTestFakeKeyEvent(d, XKeysymToKeycode(d, sym), True, CurrentTime);
            for (auto it = stroke.rbegin(); it != stroke.rend(); ++it)
                XTestFakeKeyEvent(d, XKeysymToKeycode(d, *it), False, CurrentTime);
            f.app.pump();
        }
        harness::typeText(f.app.app, "c");
        EXPECT_EQ(textOf(f.text), "abc") << c.name;
    }

    // Nor does an edit through the text widget's own functions.
    XawTextBlock lines = {0, 3, const_cast<char *>("x\ny"), XawFmt8Bit};
    EXPECT_EQ(XawTextReplace(f.text, 0, 0, &lines), XawEditError);
    EXPECT_EQ(textOf(f.text), "abc");
}

TEST(SelectorScrollingText, TextSetByTheProgramIsFollowed) {
    Field f;
    f.type(40);
    ASSERT_LT(f.x(), -100);
    XtVaSetValues(f.text, XtNstring, "../", nullptr);
    XawTextSetInsertionPoint(f.text, 3);
    f.app.pump();
    EXPECT_EQ(f.x(), -1) << "a short text set after a long one stays out of view";

    const std::string longer(40, 'm');
    XtVaSetValues(f.text, XtNstring, longer.c_str(), nullptr);
    XawTextSetInsertionPoint(f.text, 40);
    f.app.pump();
    EXPECT_GE(f.caretGap(), f.cell());
    EXPECT_LE(f.caretGap(), 2 * f.cell());

    XtVaSetValues(f.text, XtNstring, "", nullptr);
    f.app.pump();
    EXPECT_EQ(f.x(), -1);
}

TEST(SelectorScrollingText, SelectAllLetsTheNextEditReplaceTheText) {
    Field f;
    harness::typeText(f.app.app, "abc");
    ScrollingTextSelectAll(f.field);
    harness::typeText(f.app.app, "x");
    EXPECT_EQ(textOf(f.text), "x");
    harness::typeText(f.app.app, "y");
    EXPECT_EQ(textOf(f.text), "xy") << "only the first edit replaces";

    ScrollingTextSelectAll(f.field);
    f.keys("BackSpace", 1);
    EXPECT_EQ(textOf(f.text), "");

    harness::typeText(f.app.app, "abc");
    ScrollingTextSelectAll(f.field);
    XawTextSetSelection(f.text, 0, 1);  // the user chose another selection
    harness::typeText(f.app.app, "d");
    EXPECT_EQ(textOf(f.text), "abcd");

    ScrollingTextSelectAll(f.app.top);  // not a ScrollingText: nothing happens
}

TEST(SelectorScrollingText, FontWithoutWidthStepsByPixels) {
    Field f;
    const int glyph = f.cell();
    f.part().char_width = 0;
    f.type(40);
    EXPECT_LT(f.x(), -100);
    EXPECT_GE(f.caretGap(glyph), 0) << "caret out of view";
    EXPECT_LE(f.caretGap(glyph), glyph);
}

TEST(SelectorScrollingText, SizeFromTextUnlessGiven) {
    App app;
    struct Case {
        Dimension width, height;
    } cases[] = {{0, 0}, {200, 0}, {0, 40}, {150, 30}};
    for (const Case &c : cases) {
        Arg args[2];
        Cardinal n = 0;
        if (c.width) XtSetArg(args[n], XtNwidth, c.width), n++;
        if (c.height) XtSetArg(args[n], XtNheight, c.height), n++;
        Widget field = XtCreateWidget("field", scrollingTextWidgetClass, app.top, args, n);
        Widget text = nullptr;
        XtVaGetValues(field, XtNtextWidget, &text, nullptr);
        ASSERT_NE(text, nullptr);
        EXPECT_STREQ(XtName(text), "text");
        EXPECT_EQ(field->core.width, c.width ? c.width : text->core.width);
        EXPECT_EQ(field->core.height, c.height ? c.height : text->core.height);
        XtDestroyWidget(field);
    }
}

// A Viewlist holding its place in a parent that never resizes it, as
// the file selector does.
struct ListView {
    App app;
    Widget box = nullptr, view = nullptr, list = nullptr;

    ListView() {
        box = XtVaCreateManagedWidget("box", compositeWidgetClass, app.top, XtNwidth, 400, XtNheight,
                                      300, nullptr);
        view = XtVaCreateWidget("view", viewlistWidgetClass, box, XtNallowVert, True, XtNwidth, 300,
                                XtNheight, 200, nullptr);
        XtVaGetValues(view, XtNlistWidget, &list, nullptr);
        XtVaSetValues(list, XtNdefaultColumns, 1, XtNforceColumns, True, nullptr);
        XtRealizeWidget(app.top);
        XtRealizeWidget(view);
        XMapWindow(app.display(), XtWindow(view));
        app.pump();
    }
    void show(const char **items, int n) {
        XawListChange(list, items, n, -1, True);
        XtConfigureWidget(view, 0, 0, 300, 200, 1);  // the parent puts it back
        app.pump();
    }
};

TEST(SelectorViewlist, ListFillsAtLeastTheVisibleArea) {
    ListView v;
    ASSERT_NE(v.list, nullptr);
    EXPECT_STREQ(XtName(v.list), "list");
    EXPECT_EQ(XtParent(v.list), v.view);

    static const char *few[] = {"a", "b", "c"};
    v.show(few, 3);
    EXPECT_GE(v.list->core.width, 300 - 2);
    EXPECT_GE(v.list->core.height, 200 - 2);

    static const char *many[60];
    for (const char *&s : many) s = "a longer name.tex";
    v.show(many, 60);
    EXPECT_GT(v.list->core.height, 200) << "a long list scrolls";
    EXPECT_GE(v.list->core.width + 20, 300 - 2) << "at most a scrollbar narrower";
}

TEST(SelectorViewlist, GeometryRequestsKeepTheViewlistWidth) {
    ListView v;
    XtWidgetGeometry request = {}, reply = {};
    request.request_mode = CWWidth | CWHeight;
    request.width = 20;
    request.height = 500;
    EXPECT_EQ(XtMakeGeometryRequest(v.list, &request, &reply), XtGeometryYes);
    EXPECT_EQ(v.view->core.width, 300) << "a narrower list never narrows the Viewlist";
    EXPECT_EQ(v.list->core.width, v.view->core.width);

    request.request_mode = CWWidth | XtCWQueryOnly;
    request.width = 1000;
    const Dimension before = v.list->core.width;
    XtMakeGeometryRequest(v.list, &request, &reply);
    EXPECT_EQ(v.list->core.width, before) << "a query changes nothing";
}

}  // namespace
