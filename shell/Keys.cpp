#include "shell/Keys.h"

#include <X11/StringDefs.h>
#include <X11/Xaw/SmeBSB.h>
#include <algorithm>
#include <cstring>
#include <vector>

#include "canvas/Pick.h"
#include "canvas/Undo.h"
#include "objects/Constrain.h"
#include "objects/History.h"
#include "objects/Scale.h"
#include "shell/FileCommands.h"
#include "shell/FileSelect.h"
#include "shell/Globals.h"
#include "shell/MainWindow.h"

static void run(XtCallbackProc command) { command(nullptr, nullptr, nullptr); }

// New, Load and Quit ask "Discard changes?" as their menu entries do.
static void guarded(XtCallbackProc command) {
    guardedCommand(nullptr, reinterpret_cast<XtPointer>(command), nullptr);
}

static void undoAct(Widget, XEvent *, String *, Cardinal *) { run(undoCommand); }
static void redoAct(Widget, XEvent *, String *, Cardinal *) { run(redoCommand); }
static void newAct(Widget, XEvent *, String *, Cardinal *) { guarded(newCommand); }
static void loadAct(Widget, XEvent *, String *, Cardinal *) { guarded(loadCommand); }
static void saveAct(Widget, XEvent *, String *, Cardinal *) { run(saveCommand); }
static void saveAsAct(Widget, XEvent *, String *, Cardinal *) { run(saveAsCommand); }
static void quitAct(Widget, XEvent *, String *, Cardinal *) { guarded(quitCommand); }
static void copyAct(Widget, XEvent *, String *, Cardinal *) { run(copyCommand); }
static void deleteAct(Widget, XEvent *, String *, Cardinal *) { run(deleteCommand); }
static void selectAllAct(Widget, XEvent *, String *, Cardinal *) { run(selectAllCommand); }

// move-selection(left|right|up|down): one grid step while the grid is on,
// else one picture unit.
static void moveAct(Widget, XEvent *, String *params, Cardinal *count) {
    if (*count != 1) return;
    float step = (gridOn ? gridDistance : 1.0f) * zoomFactor * pixelsPerUnit;
    const char *way = params[0];
    if (strcmp(way, "left") == 0)
        moveSelection(-step, 0);
    else if (strcmp(way, "right") == 0)
        moveSelection(step, 0);
    else if (strcmp(way, "up") == 0)
        moveSelection(0, -step);
    else if (strcmp(way, "down") == 0)
        moveSelection(0, step);
}

static XtActionsRec keyActions[] = {
    {"undo", undoAct},   {"redo", redoAct},     {"new", newAct},       {"load", loadAct},
    {"save", saveAct},   {"save-as", saveAsAct}, {"quit", quitAct},    {"copy", copyAct},
    {"delete", deleteAct}, {"select-all", selectAllAct}, {"move-selection", moveAct},
};

void registerKeyActions(XtAppContext app) { XtAppAddActions(app, keyActions, XtNumber(keyActions)); }

XtAccelerators readAccelerators(Widget parent, const char *name, const char *className) {
    String text = nullptr;
    XtResource resource = {const_cast<char *>(XtNaccelerators), const_cast<char *>(XtCAccelerators), XtRString,
                           sizeof(String), 0, XtRString, const_cast<char *>("")};
    XtGetSubresources(parent, &text, name, className, &resource, 1, nullptr, 0);
    return text && *text ? XtParseAcceleratorTable(text) : nullptr;
}

static void installOnTree(Widget w, Widget source) {
    if (!XtIsWidget(w)) return;
    XtInstallAllAccelerators(w, source);
    if (!XtIsComposite(w)) return;
    WidgetList children = nullptr;
    Cardinal n = 0;
    XtVaGetValues(w, XtNchildren, &children, XtNnumChildren, &n, nullptr);
    for (Cardinal i = 0; i < n; i++) installOnTree(children[i], source);
}

void installKeys(Widget shell, Widget menuLine) { installOnTree(shell, menuLine); }

static XtResource keyResource = {const_cast<char *>("label"), const_cast<char *>("Label"), XtRString,
                                 sizeof(String), 0, XtRString, nullptr};

static XFontStruct *entryFont(Widget entry) {
    XFontStruct *font = nullptr;
    XtVaGetValues(entry, XtNfont, &font, nullptr);
    return font;
}

static int textWidth(XFontStruct *font, const char *text) {
    int direction, ascent, descent;
    XCharStruct size;
    XTextExtents(font, text, static_cast<int>(strlen(text)), &direction, &ascent, &descent, &size);
    return size.width;
}

// Draws text into a bitmap width wide that the entry shows in its right
// margin; every key of a menu has the same width, so they line up.
static void showKey(Widget entry, const char *text, int width) {
    XFontStruct *font = entryFont(entry);
    unsigned height = font->ascent + font->descent;
    Display *d = XtDisplayOfObject(entry);
    Pixmap bitmap = XCreatePixmap(d, DefaultRootWindow(d), width, height, 1);
    GC gc = XCreateGC(d, bitmap, 0, nullptr);
    XSetForeground(d, gc, 0);
    XFillRectangle(d, bitmap, gc, 0, 0, width, height);
    XSetForeground(d, gc, 1);
    XSetFont(d, gc, font->fid);
    XDrawString(d, bitmap, gc, 0, font->ascent, text, static_cast<int>(strlen(text)));
    XFreeGC(d, gc);
    const Dimension gap = 12;  // between label and key, and after the key
    XtVaSetValues(entry, XtNrightBitmap, bitmap, XtNrightMargin, width + 2 * gap, nullptr);
}

void showMenuKeys(Widget menu) {
    WidgetList entries = nullptr;
    Cardinal n = 0;
    XtVaGetValues(menu, XtNchildren, &entries, XtNnumChildren, &n, nullptr);
    std::vector<String> keys(n, nullptr);
    int width = 1;
    for (Cardinal i = 0; i < n; i++) {
        if (!XtIsSubclass(entries[i], smeBSBObjectClass) || !entryFont(entries[i])) continue;
        XtGetSubresources(entries[i], &keys[i], "key", "Key", &keyResource, 1, nullptr, 0);
        if (keys[i] && *keys[i]) width = std::max(width, textWidth(entryFont(entries[i]), keys[i]));
    }
    width = std::min(width, 400);  // a longer text is cut, never a bitmap beyond what X can make
    for (Cardinal i = 0; i < n; i++)
        if (keys[i] && *keys[i]) showKey(entries[i], keys[i], width);
}

void updateUndoEntries() {
    if (undoEntry) XtSetSensitive(undoEntry, canUndo());
    if (redoEntry) XtSetSensitive(redoEntry, canRedo());
}
