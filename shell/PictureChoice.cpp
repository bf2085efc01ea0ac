#include "shell/PictureChoice.h"

#include <X11/Shell.h>
#include <X11/StringDefs.h>
#include <X11/Xaw/Command.h>
#include <X11/Xaw/Form.h>
#include <X11/Xaw/Label.h>
#include <X11/Xaw/List.h>
#include <X11/Xaw/Viewport.h>
#include <algorithm>

#include "shell/FileCommands.h"
#include "shell/FileSelect.h"

Widget pictureShell, pictureList;
static Widget pictureLabel, pictureView;

// The file the choice is for, and the rows the list shows (the list
// keeps pointers to them).
static std::string choicePath;
static std::vector<std::string> rows;
static std::vector<String> rowPointers;

// Rows shown at once; more scroll.
const int rowsShown = 10;

static void loadChosen(Widget, XtPointer, XtPointer) {
    XawListReturnStruct *current = XawListShowCurrent(pictureList);
    int index = current ? current->list_index : XAW_LIST_NONE;
    XtFree(reinterpret_cast<char *>(current));
    if (index == XAW_LIST_NONE) return;  // nothing chosen: the choice stays up
    XtPopdown(pictureShell);
    openPicture(choicePath, index + 1);
}

static void cancelChoice(Widget, XtPointer, XtPointer) { XtPopdown(pictureShell); }

// Up and Down move the highlight along the list, held to its rows.
static void moveChoice(Widget, XEvent *, String *params, Cardinal *count) {
    if (*count < 1 || rows.empty()) return;
    XawListReturnStruct *current = XawListShowCurrent(pictureList);
    int index = current ? current->list_index : XAW_LIST_NONE;
    XtFree(reinterpret_cast<char *>(current));
    int step = params[0][0] == 'u' ? -1 : 1;
    index = index == XAW_LIST_NONE ? 0 : std::max(0, std::min(static_cast<int>(rows.size()) - 1, index + step));
    XawListHighlight(pictureList, index);
}

static void chooseAction(Widget, XEvent *, String *params, Cardinal *count) {
    if (*count >= 1 && params[0][0] == 'c')
        cancelChoice(nullptr, nullptr, nullptr);
    else
        loadChosen(nullptr, nullptr, nullptr);
}

void createPictureChoice(Widget parent) {
    static XtActionsRec actions[] = {{const_cast<String>("picture-move"), moveChoice},
                                     {const_cast<String>("picture-choose"), chooseAction}};
    XtAppAddActions(XtWidgetToApplicationContext(parent), actions, XtNumber(actions));
    pictureShell = XtVaCreatePopupShell("pictureShell", transientShellWidgetClass, parent, XtNallowShellResize,
                                        True, nullptr);
    Widget form = XtCreateManagedWidget("form", formWidgetClass, pictureShell, nullptr, 0);
    pictureLabel = XtVaCreateManagedWidget("label", labelWidgetClass, form, XtNborderWidth, 0, nullptr);
    pictureView = XtVaCreateManagedWidget("view", viewportWidgetClass, form, XtNfromVert, pictureLabel,
                                          XtNallowVert, True, nullptr);
    pictureList = XtVaCreateManagedWidget("list", listWidgetClass, pictureView, XtNdefaultColumns, 1,
                                          XtNforceColumns, True, nullptr);
    // A click highlights a row, a double click loads it.
    XtOverrideTranslations(pictureList, XtParseTranslationTable("<Btn1Down>,<Btn1Up>: Set()\n"
                                                                "<Btn1Up>(2): Set() Notify()"));
    XtAddCallback(pictureList, XtNcallback, loadChosen, nullptr);
    Widget load = XtVaCreateManagedWidget("load", commandWidgetClass, form, XtNfromVert, pictureView, nullptr);
    XtAddCallback(load, XtNcallback, loadChosen, nullptr);
    Widget cancel = XtVaCreateManagedWidget("cancel", commandWidgetClass, form, XtNfromVert, pictureView,
                                            XtNfromHoriz, load, nullptr);
    XtAddCallback(cancel, XtNcallback, cancelChoice, nullptr);
    // Keys reach whichever part of the window the pointer is over.
    XtTranslations keys = XtParseTranslationTable(
        "<Key>Up: picture-move(up)\n<Key>Down: picture-move(down)\n"
        "<Key>Return: picture-choose(load)\n<Key>KP_Enter: picture-choose(load)\n"
        "<Key>Escape: picture-choose(cancel)");
    for (Widget w : {form, pictureLabel, pictureView, pictureList, load, cancel}) XtOverrideTranslations(w, keys);
}

// The last part of a path.
static std::string baseName(const std::string &path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void choosePicture(const std::string &path, const std::vector<PictureEntry> &pictures) {
    choicePath = path;
    rows.clear();
    rowPointers.clear();
    int first = -1;
    int count = static_cast<int>(pictures.size());
    for (int i = 0; i < count; i++) {
        const PictureEntry &p = pictures[static_cast<size_t>(i)];
        std::string objects = p.objects == 0   ? "empty"
                              : p.objects == 1 ? "1 object"
                                               : std::to_string(p.objects) + " objects";
        rows.push_back("Picture " + std::to_string(i + 1) + " of " + std::to_string(count) + ", line " +
                       std::to_string(p.line) + ": " + objects);
        if (first < 0 && p.objects > 0) first = i;
    }
    for (std::string &row : rows) rowPointers.push_back(&row[0]);
    std::string question = baseName(path) + " holds " + std::to_string(count) + " pictures. Load which one?";
    XtVaSetValues(pictureLabel, XtNlabel, question.c_str(), nullptr);
    XawListChange(pictureList, rowPointers.data(), count, 0, True);
    // The view shows up to rowsShown rows; a scroll bar reaches the others.
    XFontStruct *font = nullptr;
    Dimension spacing = 0, internalHeight = 0, listWidth = 0;
    XtVaGetValues(pictureList, XtNfont, &font, XtNrowSpacing, &spacing, XtNinternalHeight, &internalHeight,
                  XtNwidth, &listWidth, nullptr);
    int rowHeight = (font ? font->max_bounds.ascent + font->max_bounds.descent : 14) + spacing;
    int height = std::min(count, rowsShown) * rowHeight + 2 * internalHeight;
    int width = listWidth + (count > rowsShown ? 16 : 0);
    XtVaSetValues(pictureView, XtNwidth, width, XtNheight, height, nullptr);
    XawListHighlight(pictureList, first < 0 ? 0 : first);
    popupAtPointer(pictureShell, XtGrabExclusive);
}
