// The FileNominator under a real X server: typing, clicking and the
// menus, against a prepared temporary directory.
#include "selector_support.h"

#include <X11/IntrinsicP.h>
#include <X11/Xaw/List.h>
#include <X11/Xaw/SmeBSB.h>
#include <X11/Xaw/SimpleMenu.h>
#include <errno.h>

#include <algorithm>

#include <string>
#include <vector>

#include "selector/FileNominatorP.h"
#include "selector/ScrollingText.h"

using selector_test::App;
using selector_test::BellCounter;
using selector_test::TempTree;
using selector_test::textOf;

namespace {

struct Reports {
    int selects = 0, cancels = 0;
    std::string directory, filename;
    int directoryError = -1, filenameError = -1;
};

void selected(Widget, XtPointer client, XtPointer call) {
    auto *r = static_cast<Reports *>(client);
    auto *s = static_cast<FileNominatorSelection *>(call);
    r->selects++;
    r->directory = s->directory ? s->directory : "(null)";
    r->filename = s->filename ? s->filename : "(null)";
    r->directoryError = s->directory_error;
    r->filenameError = s->filename_error;
}

void cancelled(Widget, XtPointer client, XtPointer call) {
    EXPECT_EQ(call, nullptr);
    static_cast<Reports *>(client)->cancels++;
}

// A selector in its own shell listing a temporary tree:
//   .profile  Makefile  a.tex  b.txt  locked/ (unreadable)  sub/ (with c.tex)
struct AsUser {
    explicit AsUser(bool ordinary) {
        if (ordinary) selector_test::runAsOrdinaryUser();
    }
};

struct Selector {
    App app;
    BellCounter bells;
    AsUser user;    // after the display is open, before the tree is made
    TempTree tree;
    Widget fn = nullptr;
    Reports reports;

    explicit Selector(bool asOrdinaryUser = false, ArgList args = nullptr, Cardinal n = 0) : user(asOrdinaryUser) {
        make();
        fn = create(args, n);
        XtRealizeWidget(app.top);
        app.pump();
        bells.rung();
        pointAtName();
    }
    void make() {
        for (const char *f : {".profile", "Makefile", "a.tex", "b.txt", "sub/c.tex"}) {
            if (std::string(f).rfind("sub/", 0) == 0) tree.directory("sub");
            tree.file(f);
        }
        tree.directory("locked", 0);
    }
    Widget create(ArgList args, Cardinal n) {
        std::vector<Arg> all(args, args + n);
        const std::string dir = tree.dir();  // the selector keeps a copy
        Arg arg;
        XtSetArg(arg, XtNinitialDirectory, dir.c_str());
        all.push_back(arg);
        Widget w = XtCreateManagedWidget("filenom", fileNominatorWidgetClass, app.top, all.data(),
                                         static_cast<Cardinal>(all.size()));
        XtAddCallback(w, XtNselectCallback, selected, &reports);
        XtAddCallback(w, XtNcancelCallback, cancelled, &reports);
        return w;
    }

    FileNominatorPart &part() const { return reinterpret_cast<FileNominatorWidget>(fn)->file_nominator; }
    std::string directory() const { return FileNominatorGetDirectory(fn); }
    std::string name() const { return textOf(part().filename_field); }
    Widget filterField() const {
        Widget t = nullptr;
        XtVaGetValues(part().filter_text, XtNtextWidget, &t, nullptr);
        return t;
    }
    std::vector<std::string> items() const {
        std::vector<std::string> v;
        for (String *p = part().items; p && *p; p++) v.push_back(*p);
        return v;
    }
    bool listed(const std::string &name) const {
        for (const std::string &s : items())
            if (s == name) return true;
        return false;
    }
    // Keys go to the name field while the pointer is over the selector
    // but not over the filter field.
    void pointAtName() const { harness::moveTo(app.app, part().filename_field, 4, 4); }
    void enter(const char *text) const {
        pointAtName();
        selector_test::setText(part().filename_field, "");
        harness::typeText(app.app, text);
        harness::key(app.app, "Return");
    }
    // The middle of list row i, in the list's window.
    void rowPosition(int i, int *x, int *y) const {
        XFontStruct *font = nullptr;
        Dimension internalHeight = 0, rowSpacing = 0;
        XtVaGetValues(part().list, XtNfont, &font, XtNinternalHeight, &internalHeight, XtNrowSpacing,
                      &rowSpacing, nullptr);
        int row = font->max_bounds.ascent + font->max_bounds.descent + rowSpacing;
        *x = 10;
        *y = internalHeight + i * row + row / 2;
    }
    int row(const std::string &name) const {
        std::vector<std::string> v = items();
        for (size_t i = 0; i < v.size(); i++)
            if (v[i] == name) return static_cast<int>(i);
        return -1;
    }
    void clickRow(const std::string &name, int clicks) const {
        int x, y;
        rowPosition(row(name), &x, &y);
        // Apart from any click before, or the two would make a double click.
        usleep((XtGetMultiClickTime(app.display()) + 50) * 1000);
        for (int i = 0; i < clicks; i++) harness::click(app.app, part().list, x, y);
    }
};

int highlighted(Widget list) {
    XawListReturnStruct *current = XawListShowCurrent(list);
    int index = current->list_index;
    XtFree(reinterpret_cast<char *>(current));
    return index;
}

TEST(SelectorNominator, DotDotAndTildeEnterDirectoriesWithoutCallback) {
    Selector s;
    s.enter("sub");
    EXPECT_EQ(s.directory(), s.tree.dir() + "sub/");
    EXPECT_EQ(s.items(), (std::vector<std::string>{"./", "../", "c.tex"}));
    EXPECT_EQ(s.name(), "");

    s.enter("..");
    EXPECT_EQ(s.directory(), s.tree.dir());
    EXPECT_EQ(s.name(), "");

    setenv("HOME", s.tree.path("sub").c_str(), 1);
    s.enter("~");
    EXPECT_EQ(s.directory(), s.tree.dir() + "sub/");
    EXPECT_EQ(s.name(), "");
    EXPECT_EQ(s.reports.selects, 0);
    EXPECT_EQ(s.bells.rung(), 0);
}

TEST(SelectorNominator, NewNameIsReportedAsMissingInTheCurrentDirectory) {
    Selector s;
    s.enter("new.tex");
    ASSERT_EQ(s.reports.selects, 1);
    EXPECT_EQ(s.reports.filename, "new.tex");
    EXPECT_EQ(s.reports.filenameError, ENOENT);
    EXPECT_EQ(s.reports.directory, s.tree.dir());
    EXPECT_EQ(s.reports.directoryError, 0);
    EXPECT_EQ(s.name(), "new.tex") << "the field keeps the name";

    s.enter("a.tex");
    ASSERT_EQ(s.reports.selects, 2);
    EXPECT_EQ(s.reports.filename, "a.tex");
    EXPECT_EQ(s.reports.filenameError, 0);
    EXPECT_EQ(s.bells.rung(), 0);
}

TEST(SelectorNominator, FileElsewhereChangesDirectoryThenReports) {
    Selector s;
    TempTree other;
    other.file("a.tex");
    other.file("b.tex");
    const std::string path = other.path("a.tex");
    s.enter(path.c_str());
    ASSERT_EQ(s.reports.selects, 1);
    EXPECT_EQ(s.directory(), other.dir());
    EXPECT_EQ(s.reports.directory, other.dir());
    EXPECT_EQ(s.reports.directoryError, 0);
    EXPECT_EQ(s.reports.filename, "a.tex");
    EXPECT_EQ(s.reports.filenameError, 0);
    EXPECT_EQ(s.name(), "");
    EXPECT_TRUE(s.listed("b.tex"));
}

TEST(SelectorNominator, FileInMissingDirectoryIsReportedAndStays) {
    Selector s;
    s.enter("/nonexistent/a.tex");
    ASSERT_EQ(s.reports.selects, 1);
    EXPECT_EQ(s.reports.directory, "/nonexistent/");
    EXPECT_EQ(s.reports.directoryError, ENOENT);
    EXPECT_EQ(s.reports.filename, "a.tex");
    EXPECT_EQ(s.reports.filenameError, ENOENT);
    EXPECT_EQ(s.directory(), s.tree.dir());
    EXPECT_EQ(s.name(), "/nonexistent/a.tex");
}

TEST(SelectorNominator, RefusedNamesRingTheBellAndKeepTheText) {
    Arg arg;
    XtSetArg(arg, XtNbellLevel, 40);
    Selector s(true, &arg, 1);
    ASSERT_TRUE(s.bells.ready());
    XKeyboardState keyboard;
    XGetKeyboardControl(s.app.display(), &keyboard);
    const int base = keyboard.bell_percent;
    const std::string tooLong(DirScanPathMax, 'x');
    struct Case {
        std::string text;
    } cases[] = {
        {"locked"},              // a directory that cannot be read
        {"a.tex/x"},             // a file taken for a directory: ENOTDIR
        {"/" + tooLong},         // longer than the system takes
    };
    for (const Case &c : cases) {
        s.pointAtName();
        selector_test::setText(s.part().filename_field, c.text.c_str());
        harness::key(s.app.app, "Return");
        int percent = 0;
        EXPECT_EQ(s.bells.rung(&percent), 1) << c.text.substr(0, 20);
        EXPECT_EQ(percent, base + (100 - base) * 40 / 100) << "the bell at bellLevel";
        EXPECT_EQ(s.name(), c.text);
        EXPECT_EQ(s.directory(), s.tree.dir());
    }
    EXPECT_EQ(s.reports.selects, 0);
}

TEST(SelectorNominator, UnreadableDirectoryKeepsTheOldListing) {
    Selector s(true);
    const std::vector<std::string> before = s.items();
    ASSERT_TRUE(s.listed("a.tex"));
    FileNominatorSetDirectory(s.fn, s.tree.path("locked").c_str());
    EXPECT_EQ(s.directory(), s.tree.dir() + "locked/");
    EXPECT_EQ(s.items(), before);
}

TEST(SelectorNominator, EmptyFieldAndReturnRelists) {
    Selector s;
    s.tree.file("late.tex");
    EXPECT_FALSE(s.listed("late.tex"));
    s.enter("");
    EXPECT_TRUE(s.listed("late.tex"));
    EXPECT_EQ(s.directory(), s.tree.dir());
    EXPECT_EQ(s.reports.selects, 0);
}

TEST(SelectorNominator, ClickFillsTheFieldDoubleClickEnters) {
    Selector s;
    s.clickRow("sub/", 1);
    EXPECT_EQ(s.name(), "sub/");
    EXPECT_EQ(s.directory(), s.tree.dir());
    EXPECT_EQ(XawTextGetInsertionPoint(s.part().filename_field), 4);

    s.clickRow("a.tex", 1);
    EXPECT_EQ(s.name(), "a.tex");
    EXPECT_EQ(highlighted(s.part().list), s.row("a.tex"));
    // The next edit takes the highlight away.
    s.pointAtName();
    harness::typeText(s.app.app, "x");
    EXPECT_EQ(highlighted(s.part().list), XAW_LIST_NONE);

    s.clickRow("sub/", 2);
    EXPECT_EQ(s.directory(), s.tree.dir() + "sub/");
    EXPECT_EQ(s.name(), "");
    EXPECT_EQ(s.reports.selects, 0);

    s.clickRow("c.tex", 2);
    ASSERT_EQ(s.reports.selects, 1);
    EXPECT_EQ(s.reports.filename, "c.tex");
    EXPECT_EQ(s.reports.directory, s.tree.dir() + "sub/");
}

TEST(SelectorNominator, TextTheSelectorSetsIsScrolledIntoView) {
    Selector s;
    const std::string deep(60, 'd');
    s.tree.directory(deep);
    Widget field = s.part().filename_field;
    const std::string longName(60, 'n');
    harness::typeText(s.app.app, longName.c_str());
    ASSERT_LT(field->core.x, -100);
    s.clickRow("../", 1);
    EXPECT_EQ(s.name(), "../");
    EXPECT_EQ(field->core.x, -1) << "the field looks empty";

    s.enter(s.tree.path(deep).c_str());
    ASSERT_EQ(s.directory(), s.tree.dir() + deep + "/");
    EXPECT_EQ(s.name(), "");
    EXPECT_EQ(field->core.x, -1) << "the caret is out of view";
}

// The managed entry of a menu with the given name. (XtNameToWidget
// would take the '.' in a name for a separator.)
Widget entryNamed(Widget menu, const char *name) {
    CompositeWidget c = reinterpret_cast<CompositeWidget>(menu);
    for (Cardinal i = 0; i < c->composite.num_children; i++)
        if (strcmp(XtName(c->composite.children[i]), name) == 0) return c->composite.children[i];
    return nullptr;
}

// Presses a MenuButton, moves onto an entry of its menu (or stays off
// the menu with entry NULL) and releases.
void choose(const Selector &s, Widget button, const char *entry) {
    harness::moveTo(s.app.app, button, 3, 3);
    harness::press(s.app.app, 1);
    Widget menu = XtNameToWidget(button, "menu");
    EXPECT_NE(menu, nullptr);
    Widget e = menu && entry ? entryNamed(menu, entry) : nullptr;
    EXPECT_TRUE(e || !entry) << entry;
    if (e) harness::moveTo(s.app.app, menu, e->core.x + 5, e->core.y + e->core.height / 2);
    harness::release(s.app.app, 1);
}

Pixmap check(Widget entry) {
    Pixmap p = None;
    XtVaGetValues(entry, XtNleftBitmap, &p, nullptr);
    return p;
}

TEST(SelectorNominator, EscapeFlipsDotFilesAndTheMenuCheckFollows) {
    Selector s;
    EXPECT_TRUE(s.listed(".profile"));
    harness::key(s.app.app, "Escape");
    EXPECT_FALSE(s.part().show_dot_files);
    EXPECT_FALSE(s.listed(".profile"));
    EXPECT_TRUE(s.listed("../"));
    EXPECT_EQ(s.part().filter_menu, nullptr);

    choose(s, s.part().filter_button, nullptr);
    ASSERT_NE(s.part().filter_menu, nullptr);
    EXPECT_EQ(check(s.part().dot_files_entry), None);
    EXPECT_NE(check(s.part().directories_entry), None);

    s.pointAtName();
    harness::key(s.app.app, "Escape");
    EXPECT_TRUE(s.part().show_dot_files);
    EXPECT_TRUE(s.listed(".profile"));
    EXPECT_NE(check(s.part().dot_files_entry), None);

    choose(s, s.part().filter_button, "Apply to \".\" files");
    EXPECT_FALSE(s.part().show_dot_files);
    EXPECT_EQ(check(s.part().dot_files_entry), None);
}

TEST(SelectorNominator, FilterResourcesRelistAtOnce) {
    Selector s;
    XtVaSetValues(s.fn, XtNfilter, "*.tex", nullptr);
    EXPECT_EQ(textOf(s.filterField()), "*.tex");
    EXPECT_EQ(s.items(), (std::vector<std::string>{"a.tex"}));

    XtVaSetValues(s.fn, XtNfilterDirectoryNames, False, nullptr);
    EXPECT_EQ(s.items(), (std::vector<std::string>{"./", "../", "a.tex", "locked/", "sub/"}));
    EXPECT_EQ(s.part().filter_menu, nullptr) << "relisted without the menu";

    choose(s, s.part().filter_button, "Apply to directories");
    EXPECT_TRUE(s.part().filter_directory_names);
    EXPECT_NE(check(s.part().directories_entry), None);
    EXPECT_EQ(s.items(), (std::vector<std::string>{"a.tex"}));
}

TEST(SelectorNominator, FilterFieldTakesKeysWhileThePointerIsInIt) {
    Selector s;
    Widget filter = s.filterField();
    harness::moveTo(s.app.app, filter, 5, 5);
    EXPECT_TRUE(harness::booleanResource(filter, XtNdisplayCaret));
    EXPECT_FALSE(harness::booleanResource(s.part().filename_field, XtNdisplayCaret));
    harness::key(s.app.app, "End");
    harness::key(s.app.app, "BackSpace");
    harness::typeText(s.app.app, "*.txt");
    harness::key(s.app.app, "Return");
    EXPECT_EQ(textOf(filter), "*.txt");
    EXPECT_EQ(s.items(), (std::vector<std::string>{"b.txt"}));
    EXPECT_EQ(s.reports.selects, 0);

    s.pointAtName();
    EXPECT_FALSE(harness::booleanResource(filter, XtNdisplayCaret));
    EXPECT_TRUE(harness::booleanResource(s.part().filename_field, XtNdisplayCaret));
    harness::typeText(s.app.app, "q");
    EXPECT_EQ(s.name(), "q");
    EXPECT_EQ(textOf(filter), "*.txt");

    // An empty filter lists as "*".
    selector_test::setText(filter, "");
    XtCallActionProc(filter, "Filter", nullptr, nullptr, 0);
    EXPECT_TRUE(s.listed("Makefile"));
}

std::vector<std::string> entries(Widget menu) {
    std::vector<std::string> names;
    CompositeWidget c = reinterpret_cast<CompositeWidget>(menu);
    for (Cardinal i = 0; i < c->composite.num_children; i++)
        if (XtIsManaged(c->composite.children[i])) names.push_back(XtName(c->composite.children[i]));
    return names;
}

TEST(SelectorNominator, PathMenuListsAncestorsAndFavourites) {
    Selector s;
    Widget path = s.part().path_button;
    FileNominatorSetDirectory(s.fn, "/");
    harness::moveTo(s.app.app, path, 3, 3);
    harness::press(s.app.app, 1);
    Widget menu = XtNameToWidget(path, "menu");
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(entries(menu), std::vector<std::string>{"/"});
    harness::release(s.app.app, 1);
    EXPECT_EQ(XtNameToWidget(path, "menu"), nullptr) << "the menu is made anew at every press";

    XtVaSetValues(s.fn, XtNpathList, "~/tex:/usr/share", nullptr);
    FileNominatorSetDirectory(s.fn, s.tree.path("sub").c_str());
    std::vector<std::string> expected = {"/"};
    for (size_t at = 1, slash; (slash = s.directory().find('/', at)) != std::string::npos; at = slash + 1)
        expected.push_back(s.directory().substr(at, slash - at));
    const size_t levels = expected.size();
    expected.insert(expected.end(), {"sep", "~/tex", "/usr/share"});
    harness::press(s.app.app, 1);
    menu = XtNameToWidget(path, "menu");
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(entries(menu), expected);
    harness::release(s.app.app, 1);

    // A level cuts the directory; a favourite is nominated like typed text.
    choose(s, path, expected[levels - 2].c_str());
    EXPECT_EQ(s.directory(), s.tree.dir());
    choose(s, path, "/usr/share");
    EXPECT_EQ(s.directory(), "/usr/share/");
    choose(s, path, "/");
    EXPECT_EQ(s.directory(), "/");
    EXPECT_EQ(s.reports.selects, 0);
}

// The selector's layout: the list shows rows rows, every row of controls
// fits inside the margin and the widest fills it.
void expectLaidOut(Widget fn, int rows) {
    FileNominatorPart &p = reinterpret_cast<FileNominatorWidget>(fn)->file_nominator;
    XFontStruct *font = nullptr;
    Dimension internalHeight = 0, rowSpacing = 0;
    XtVaGetValues(p.list, XtNfont, &font, XtNinternalHeight, &internalHeight, XtNrowSpacing, &rowSpacing,
                  nullptr);
    const int row = font->max_bounds.ascent + font->max_bounds.descent + rowSpacing;
    EXPECT_EQ(p.viewport->core.height, rows * row - rowSpacing + 2 * internalHeight) << rows << " rows";

    const int M = p.margin, W = fn->core.width, H = fn->core.height;
    auto right = [](Widget w) { return w->core.x + w->core.width + 2 * w->core.border_width; };
    auto bottom = [](Widget w) { return w->core.y + w->core.height + 2 * w->core.border_width; };
    int widest = 0;
    for (Widget w : {p.filter_text, p.filename_text, p.cancel_button}) {
        EXPECT_LE(right(w), W - M) << XtName(w);
        widest = std::max(widest, right(w));
    }
    EXPECT_EQ(widest, W - M);
    EXPECT_EQ(p.viewport->core.x, M);
    EXPECT_EQ(p.viewport->core.y, M);
    EXPECT_LT(right(p.filter_button), p.filter_text->core.x);
    EXPECT_LT(right(p.select_button), p.path_button->core.x);
    EXPECT_LT(right(p.path_button), p.cancel_button->core.x);
    EXPECT_EQ(bottom(p.viewport) + M, p.filter_text->core.y);
    EXPECT_EQ(bottom(p.filter_button), bottom(p.filter_text));
    EXPECT_EQ(bottom(p.filter_text) + M, p.filename_text->core.y);
    EXPECT_EQ(bottom(p.filename_text) + M, p.select_button->core.y);
    EXPECT_EQ(bottom(p.select_button) + M, H);
}

TEST(SelectorNominator, CreatedWithoutSizeFitsRowsAndControls) {
    for (int rows : {12, 5}) {
        App app;
        Widget fn = XtVaCreateManagedWidget("filenom", fileNominatorWidgetClass, app.top, XtNnumberRows, rows,
                                            XtNinitialDirectory, "/", nullptr);
        XtRealizeWidget(app.top);
        app.pump();
        expectLaidOut(fn, rows);
    }
}

TEST(SelectorNominator, NewMarginOrNumberRowsLaysTheSelectorOutAgain) {
    App app;
    XtVaSetValues(app.top, XtNallowShellResize, True, nullptr);
    Widget fn = XtVaCreateManagedWidget("filenom", fileNominatorWidgetClass, app.top, XtNinitialDirectory, "/",
                                        nullptr);
    XtRealizeWidget(app.top);
    app.pump();
    XtVaSetValues(fn, XtNnumberRows, 5, nullptr);
    app.pump();
    expectLaidOut(fn, 5);
    XtVaSetValues(fn, XtNmargin, 20, nullptr);
    app.pump();
    expectLaidOut(fn, 5);
    XtVaSetValues(fn, XtNmargin, 4, XtNnumberRows, 20, nullptr);
    app.pump();
    expectLaidOut(fn, 20);

    // A parent that refuses the new size leaves the children laid out in the old.
    XtVaSetValues(app.top, XtNallowShellResize, False, nullptr);
    const Dimension width = fn->core.width, height = fn->core.height;
    XtVaSetValues(fn, XtNmargin, 12, XtNnumberRows, 3, nullptr);
    app.pump();
    EXPECT_EQ(fn->core.width, width);
    EXPECT_EQ(fn->core.height, height);
    FileNominatorPart &p = reinterpret_cast<FileNominatorWidget>(fn)->file_nominator;
    EXPECT_EQ(p.viewport->core.x, 12);
    EXPECT_EQ(p.select_button->core.y + p.select_button->core.height + 2 * p.select_button->core.border_width + 12,
              height);
}

TEST(SelectorNominator, StringResourcesAreCopies) {
    App app;
    TempTree tree;
    tree.file("a.tex");
    std::string directory = tree.dir(), filter = "*.tex", paths = "/usr:/tmp";
    Widget fn = XtVaCreateManagedWidget("filenom", fileNominatorWidgetClass, app.top, XtNinitialDirectory,
                                        directory.c_str(), XtNfilter, filter.c_str(), XtNpathList, paths.c_str(),
                                        nullptr);
    // The caller's strings change and go.
    std::fill(directory.begin(), directory.end(), 'x');
    std::fill(filter.begin(), filter.end(), 'x');
    std::fill(paths.begin(), paths.end(), 'x');
    directory.clear(), directory.shrink_to_fit();
    EXPECT_EQ(harness::stringResource(fn, XtNinitialDirectory), tree.dir());
    EXPECT_EQ(harness::stringResource(fn, XtNfilter), "*.tex");
    EXPECT_EQ(harness::stringResource(fn, XtNpathList), "/usr:/tmp");

    {
        std::string again = "*.txt", more = "/var";
        XtVaSetValues(fn, XtNfilter, again.c_str(), XtNpathList, more.c_str(), nullptr);
        std::fill(again.begin(), again.end(), 'x');
        std::fill(more.begin(), more.end(), 'x');
    }
    EXPECT_EQ(harness::stringResource(fn, XtNfilter), "*.txt");
    EXPECT_EQ(harness::stringResource(fn, XtNpathList), "/var");
    XtVaSetValues(fn, XtNpathList, nullptr, nullptr);
    EXPECT_EQ(harness::stringResource(fn, XtNpathList), "");
    XtDestroyWidget(fn);
}

TEST(SelectorNominator, TooSmallSelectorClampsItsChildren) {
    App app;
    Widget fn = XtVaCreateManagedWidget("filenom", fileNominatorWidgetClass, app.top, XtNwidth, 5, XtNheight, 5,
                                        XtNinitialDirectory, "/", nullptr);
    XtRealizeWidget(app.top);
    app.pump();  // a zero size would be a protocol error here
    FileNominatorPart &p = reinterpret_cast<FileNominatorWidget>(fn)->file_nominator;
    for (Widget w : {p.viewport, p.filter_text, p.filename_text}) {
        EXPECT_GE(w->core.width, 1) << XtName(w);
        EXPECT_GE(w->core.height, 1) << XtName(w);
    }
}

TEST(SelectorNominator, CancelAndSelectButtons) {
    Selector s;
    harness::click(s.app.app, s.part().cancel_button, 3, 3);
    EXPECT_EQ(s.reports.cancels, 1);
    EXPECT_EQ(s.reports.selects, 0);

    selector_test::setText(s.part().filename_field, "b.txt");
    harness::click(s.app.app, s.part().select_button, 3, 3);
    ASSERT_EQ(s.reports.selects, 1);
    EXPECT_EQ(s.reports.filename, "b.txt");
}

TEST(SelectorNominator, PublicFunctionsAndActionsOutsideASelectorDoNothing) {
    Selector s;
    for (Widget w : {s.app.top, s.part().list, static_cast<Widget>(nullptr)}) {
        EXPECT_EQ(FileNominatorGetDirectory(w), nullptr);
        EXPECT_EQ(FileNominatorGetViewport(w), nullptr);
        EXPECT_EQ(FileNominatorGetList(w), nullptr);
        FileNominatorSetDirectory(w, "/");
        FileNominatorClearName(w);
    }
    EXPECT_EQ(FileNominatorGetViewport(s.fn), s.part().viewport);
    EXPECT_EQ(FileNominatorGetList(s.fn), s.part().list);

    for (const char *action : {"Nominate", "Filter", "ToggleDotFiles", "ToggleFilterDirectories", "FocusToFilter",
                               "MakeMenu", "MakeFilterMenu"})
        XtCallActionProc(s.app.top, action, nullptr, nullptr, 0);
    EXPECT_EQ(s.directory(), s.tree.dir());
    EXPECT_TRUE(s.part().show_dot_files);

    // scroll-on-movement without a parameter counts as False.
    String on[] = {"True"};
    XtCallActionProc(s.fn, "scroll-on-movement", nullptr, on, 1);
    EXPECT_TRUE(harness::booleanResource(s.part().filename_text, XtNscrollOnMovement));
    EXPECT_TRUE(harness::booleanResource(s.part().filter_text, XtNscrollOnMovement));
    XtCallActionProc(s.fn, "scroll-on-movement", nullptr, nullptr, 0);
    EXPECT_FALSE(harness::booleanResource(s.part().filename_text, XtNscrollOnMovement));
    EXPECT_FALSE(harness::booleanResource(s.part().filter_text, XtNscrollOnMovement));
}

TEST(SelectorNominator, SetDirectoryAndClearName) {
    Selector s;
    FileNominatorSetDirectory(s.fn, "");
    EXPECT_EQ(s.directory(), "/");
    FileNominatorSetDirectory(s.fn, s.tree.path("sub").c_str());
    EXPECT_EQ(s.directory(), s.tree.dir() + "sub/");
    EXPECT_TRUE(s.listed("c.tex"));

    const std::string tooLong = "/" + std::string(DirScanPathMax, 'x');
    FileNominatorSetDirectory(s.fn, tooLong.c_str());
    s.app.pump();
    EXPECT_EQ(s.bells.rung(), 1);
    EXPECT_EQ(s.directory(), s.tree.dir() + "sub/");

    s.clickRow("c.tex", 1);
    ASSERT_EQ(s.name(), "c.tex");
    FileNominatorClearName(s.fn);
    EXPECT_EQ(s.name(), "");
    EXPECT_EQ(highlighted(s.part().list), XAW_LIST_NONE);
}

TEST(SelectorNominator, DestroyBeforeAnyListing) {
    App app;
    selector_test::runAsOrdinaryUser();
    TempTree tree;
    tree.directory("locked", 0700);
    ASSERT_EQ(chdir(tree.path("locked").c_str()), 0);
    chmod(tree.path("locked").c_str(), 0);
    Widget fn = XtVaCreateManagedWidget("filenom", fileNominatorWidgetClass, app.top, nullptr);
    EXPECT_EQ(reinterpret_cast<FileNominatorWidget>(fn)->file_nominator.items, nullptr);
    XtRealizeWidget(app.top);
    app.pump();
    XtDestroyWidget(fn);
    app.pump();
    ASSERT_EQ(chdir("/"), 0);
}

}  // namespace

namespace {

// The index of name among the items the list holds now, or -1.
int heldIndex(Widget list, const char *name) {
    String *held = nullptr;
    int n = 0;
    XtVaGetValues(list, XtNlist, &held, XtNnumberStrings, &n, nullptr);
    for (int i = 0; i < n; i++)
        if (strcmp(held[i], name) == 0) return i;
    return -1;
}

}  // namespace

TEST(SelectorNominator, EveryNameOfAHugeDirectoryCanBeScrolledToAndChosen) {
    App app;
    TempTree tree;
    const int files = 20000;
    char name[16];
    for (int i = 0; i < files; i++) {
        snprintf(name, sizeof name, "f%05d", i);
        tree.file(name);
    }
    Widget fn = XtVaCreateManagedWidget("filenom", fileNominatorWidgetClass, app.top, XtNinitialDirectory,
                                        tree.dir().c_str(), nullptr);
    XtRealizeWidget(app.top);
    app.pump();
    FileNominatorPart &p = reinterpret_cast<FileNominatorWidget>(fn)->file_nominator;
    Widget bar = XtNameToWidget(p.viewport, "vertical");
    ASSERT_NE(bar, nullptr);
    XFontStruct *font = nullptr;
    Dimension internalHeight = 0, rowSpacing = 0;
    XtVaGetValues(p.list, XtNfont, &font, XtNinternalHeight, &internalHeight, XtNrowSpacing, &rowSpacing, nullptr);
    const int row = font->max_bounds.ascent + font->max_bounds.descent + rowSpacing;

    // Whether the row of name lies wholly in view; its y in the list in *y.
    auto inView = [&](const char *wanted, int *y) {
        int i = heldIndex(p.list, wanted);
        if (i < 0) return false;
        *y = internalHeight + i * row;
        int top = -p.list->core.y;
        return *y >= top && *y + row <= top + static_cast<int>(XtParent(p.list)->core.height);
    };
    // Button 2 on the scrollbar puts the top of the thumb where it is
    // pressed. Towards a name the list does not hold yet, press at the end
    // of the scrollbar on its side; once it holds it, where it shows it.
    auto scrollTowards = [&](const char *wanted) {
        String *held = nullptr;
        XtVaGetValues(p.list, XtNlist, &held, nullptr);
        int i = heldIndex(p.list, wanted), barY;
        if (i < 0)
            barY = strcmp(wanted, held[0]) > 0 ? bar->core.height - 1 : 0;
        else
            barY = static_cast<int>(bar->core.height) * (i * row) / static_cast<int>(p.list->core.height);
        harness::click(app.app, bar, bar->core.width / 2, barY, 2);
    };

    for (const char *wanted : {"f19999", "f19990", "f10000", "f00000", "f12345"}) {
        int y = 0, presses = 0;
        for (; !inView(wanted, &y) && presses < 100; presses++) scrollTowards(wanted);
        ASSERT_TRUE(inView(wanted, &y)) << wanted << " not reached in " << presses << " presses";
        usleep((XtGetMultiClickTime(app.display()) + 50) * 1000);
        harness::click(app.app, p.list, 10, y + row / 2);
        EXPECT_EQ(textOf(p.filename_field), wanted);
    }
}
