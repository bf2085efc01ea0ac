// The FileNominatorWindow shell: size hints, WM_DELETE_WINDOW, focus.
#include "selector_support.h"

#include <algorithm>

#include <X11/IntrinsicP.h>
#include <X11/ShellP.h>
#include <X11/Xatom.h>
#include <X11/Xaw/List.h>
#include <X11/Xutil.h>

#include "selector/FileNominatorWindow.h"
#include "selector/ScrollingText.h"

using selector_test::App;
using selector_test::TempTree;

namespace {

String proportionalList[] = {
    "*font: 6x13",
    "*list.font: -adobe-helvetica-medium-r-normal--12-*-*-*-*-*-iso8859-1",
    nullptr,
};

struct Window {
    App app;
    TempTree tree;
    Widget shell = nullptr, fn = nullptr;

    explicit Window(String *fallback = selector_test::fallbackResources) : app(fallback) {
        tree.file("a.tex");
        shell = XtVaCreatePopupShell("fileShell", fileNominatorWindowWidgetClass, app.top, XtNinitialDirectory,
                                     tree.dir().c_str(), nullptr);
        fn = FileNominatorWindowGetNominator(shell);
        XtVaSetValues(app.top, XtNwidth, 10, XtNheight, 10, nullptr);
        XtRealizeWidget(app.top);
        XtPopup(shell, XtGrabNone);
        app.pump();
    }
    // Resizes the window as a window manager would.
    void resize(int width, int height) const {
        XResizeWindow(app.display(), XtWindow(shell), width, height);
        app.pump();
    }
    XSizeHints hints() const {
        XSizeHints h = {};
        long supplied = 0;
        XGetWMNormalHints(app.display(), XtWindow(shell), &h, &supplied);
        return h;
    }
    Widget field(const char *name) const { return XtNameToWidget(fn, name); }
};

TEST(SelectorWindow, HoldsTheSelectorItWasGiven) {
    Window w;
    ASSERT_NE(w.fn, nullptr);
    EXPECT_STREQ(XtName(w.fn), "filenom");
    EXPECT_EQ(std::string(FileNominatorGetDirectory(w.fn)), w.tree.dir());
    for (Widget other : {w.app.top, w.fn, FileNominatorGetList(w.fn), static_cast<Widget>(nullptr)})
        EXPECT_EQ(FileNominatorWindowGetNominator(other), nullptr);
}

TEST(SelectorWindow, KeepsACopyOfItsInitialDirectory) {
    App app;
    TempTree tree;
    std::string directory = tree.dir();
    Widget shell = XtVaCreatePopupShell("fileShell", fileNominatorWindowWidgetClass, app.top, XtNinitialDirectory,
                                        directory.c_str(), nullptr);
    std::fill(directory.begin(), directory.end(), 'x');
    EXPECT_EQ(harness::stringResource(shell, XtNinitialDirectory), tree.dir());
    {
        std::string other = "/tmp/";
        XtVaSetValues(shell, XtNinitialDirectory, other.c_str(), nullptr);
        std::fill(other.begin(), other.end(), 'x');
    }
    EXPECT_EQ(harness::stringResource(shell, XtNinitialDirectory), "/tmp/");
    EXPECT_EQ(std::string(FileNominatorGetDirectory(FileNominatorWindowGetNominator(shell))), tree.dir());
    XtDestroyWidget(shell);
}

TEST(SelectorWindow, SizeHintsGiveWholeRowsAndCharacters) {
    Window w;
    w.resize(420, 380);
    const XSizeHints h = w.hints();
    ASSERT_TRUE(h.flags & PResizeInc);
    ASSERT_TRUE(h.flags & PBaseSize);

    Widget list = FileNominatorGetList(w.fn), viewport = FileNominatorGetViewport(w.fn);
    XFontStruct *font = nullptr;
    Dimension rowSpacing = 0, internalHeight = 0;
    XtVaGetValues(list, XtNfont, &font, XtNrowSpacing, &rowSpacing, XtNinternalHeight, &internalHeight, nullptr);
    const int row = font->max_bounds.ascent + font->max_bounds.descent + rowSpacing;
    EXPECT_EQ(h.height_inc, row);
    EXPECT_EQ(h.width_inc, 6);

    // A window of base + k increments shows exactly k rows.
    for (int k : {4, 9, 15}) {
        w.resize(h.base_width + 50 * h.width_inc, h.base_height + k * h.height_inc);
        EXPECT_EQ(viewport->core.height, k * row - rowSpacing + 2 * internalHeight) << k << " rows";
    }
    // And base + n width increments gives the list a whole number of characters.
    Dimension internalWidth = 0;
    XtVaGetValues(list, XtNinternalWidth, &internalWidth, nullptr);
    Widget bar = XtNameToWidget(viewport, "vertical");
    Dimension thickness = 0;
    if (bar) XtVaGetValues(bar, XtNthickness, &thickness, nullptr);
    for (int n : {40, 57}) {
        w.resize(h.base_width + n * h.width_inc, h.base_height + 10 * h.height_inc);
        EXPECT_EQ(viewport->core.width - thickness - 2 * internalWidth, n * 6) << n << " characters";
    }
}

TEST(SelectorWindow, ProportionalListFontKeepsWholeRowsOnly) {
    Window w(proportionalList);
    w.resize(420, 380);
    XFontStruct *font = nullptr;
    XtVaGetValues(FileNominatorGetList(w.fn), XtNfont, &font, nullptr);
    ASSERT_NE(font->min_bounds.width, font->max_bounds.width) << "the font must be proportional";
    const XSizeHints h = w.hints();
    EXPECT_GT(h.height_inc, 1);
    EXPECT_LE(h.width_inc, 1) << "no character steps without one character width";
}

TEST(SelectorWindow, DeleteRequestIsAnnouncedAndLeavesTheWindowUp) {
    Window w;
    w.resize(400, 400);
    Display *d = w.app.display();
    Atom deleteWindow = XInternAtom(d, "WM_DELETE_WINDOW", False);
    Atom *protocols = nullptr;
    int count = 0;
    ASSERT_TRUE(XGetWMProtocols(d, XtWindow(w.shell), &protocols, &count));
    ASSERT_EQ(count, 1);
    EXPECT_EQ(protocols[0], deleteWindow);
    XFree(protocols);

    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = XtWindow(w.shell);
    event.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(deleteWindow);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, XtWindow(w.shell), False, NoEventMask, &event);
    w.app.pump();

    EXPECT_TRUE(reinterpret_cast<ShellWidget>(w.shell)->shell.popped_up);
    XWindowAttributes attributes;
    XGetWindowAttributes(d, XtWindow(w.shell), &attributes);
    EXPECT_EQ(attributes.map_state, IsViewable);
}

TEST(SelectorWindow, KeyboardFocusSwitchesCaretFollowing) {
    Window w;
    Widget name = w.field("filename"), filter = w.field("filter");
    ASSERT_NE(name, nullptr);
    ASSERT_NE(filter, nullptr);
    EXPECT_FALSE(harness::booleanResource(name, XtNscrollOnMovement));
    EXPECT_FALSE(harness::booleanResource(filter, XtNscrollOnMovement));

    Display *d = w.app.display();
    XSetInputFocus(d, XtWindow(w.fn), RevertToParent, CurrentTime);
    w.app.pump();
    EXPECT_TRUE(harness::booleanResource(name, XtNscrollOnMovement));
    EXPECT_TRUE(harness::booleanResource(filter, XtNscrollOnMovement));

    XSetInputFocus(d, XtWindow(w.app.top), RevertToParent, CurrentTime);
    w.app.pump();
    EXPECT_FALSE(harness::booleanResource(name, XtNscrollOnMovement));
    EXPECT_FALSE(harness::booleanResource(filter, XtNscrollOnMovement));
}

}  // namespace
