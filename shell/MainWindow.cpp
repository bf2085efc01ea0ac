#include "shell/MainWindow.h"

#include <X11/StringDefs.h>
#include <X11/Xaw/Form.h>
#include <X11/Xaw/MenuButton.h>
#include <X11/Xaw/SimpleMenu.h>
#include <X11/Xaw/SmeBSB.h>
#include <X11/Xaw/SmeLine.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "shell/LoadPicture.h"

#include "canvas/PointEntry.h"
#include "canvas/Selection.h"
#include "shell/Globals.h"
#include "shell/Icon.h"
#include "shell/Keys.h"

DrawMenuRow drawMenuTable[15] = {
    {"pick", pickMode, nullptr},     {"separator", -1, nullptr},        {"line", lineMode, nullptr},
    {"vector", vectorMode, nullptr}, {"bezier", bezierMode, nullptr},   {"separator", -1, nullptr},
    {"framed", framedMode, nullptr}, {"dashed", dashedMode, nullptr},   {"text", textMode, nullptr},
    {"separator", -1, nullptr},      {"circle", circleMode, nullptr},   {"disc", discMode, nullptr},
    {"separator", -1, nullptr},      {"filled", filledMode, nullptr},   {"rounded", roundedMode, nullptr},
};

Widget markedEntry = nullptr;

static const unsigned char checkMarkBits[] = {0x00, 0x01, 0x80, 0x01, 0xc0, 0x00, 0x60, 0x00,
                                              0x31, 0x00, 0x1b, 0x00, 0x0e, 0x00, 0x04, 0x00};
static Pixmap checkMark = None;

static Pixmap rootBitmap(Widget w, const unsigned char *bits, int width, int height) {
    Display *d = XtDisplay(w);
    return XCreateBitmapFromData(d, DefaultRootWindow(d), reinterpret_cast<const char *>(bits), width,
                                 height);
}

void setIcon(Widget shell) {
    XtVaSetValues(shell, XtNiconPixmap, rootBitmap(shell, iconBits, iconWidth, iconHeight), nullptr);
}

Widget createMenuButton(const char *name, const char *menuName, Widget after, Widget *button) {
    *button = XtVaCreateManagedWidget(name, menuButtonWidgetClass, menuLine, XtNmenuName, menuName,
                                      XtNfromHoriz, after, XtNleft, XtChainLeft, XtNright, XtChainLeft,
                                      XtNaccelerators, readAccelerators(menuLine, name, "MenuButton"), nullptr);
    return XtCreatePopupShell(menuName, simpleMenuWidgetClass, *button, nullptr, 0);
}

Widget addMenuEntry(Widget menu, const char *name, XtCallbackProc proc, XtPointer client) {
    Widget entry = XtCreateManagedWidget(name, smeBSBObjectClass, menu, nullptr, 0);
    if (proc) XtAddCallback(entry, XtNcallback, proc, client);
    return entry;
}

void createDrawMenu(Widget menu) {
    for (DrawMenuRow &row : drawMenuTable) {
        if (strcmp(row.name, "separator") == 0) {
            XtCreateManagedWidget("separator", smeLineObjectClass, menu, nullptr, 0);
            continue;
        }
        row.entry = XtVaCreateManagedWidget(row.name, smeBSBObjectClass, menu, XtNleftMargin, 15, nullptr);
        XtAddCallback(row.entry, XtNcallback, setDrawMode, reinterpret_cast<XtPointer>(long(row.mode)));
        XtAddCallback(row.entry, XtNcallback, markDrawEntry, nullptr);
    }
    checkMark = rootBitmap(menu, checkMarkBits, 9, 8);
    markDrawEntry(drawMenuTable[0].entry, nullptr, nullptr);
}

void selectAllCommand(Widget, XtPointer, XtPointer) {
    setDrawMode(nullptr, reinterpret_cast<XtPointer>(long(pickMode)), nullptr);
    markDrawEntry(drawMenuTable[0].entry, nullptr, nullptr);
    selectAll();
}

void markDrawEntry(Widget w, XtPointer, XtPointer) {
    if (w == markedEntry) return;
    if (markedEntry) XtVaSetValues(markedEntry, XtNleftBitmap, None, nullptr);
    XtVaSetValues(w, XtNleftBitmap, checkMark, nullptr);
    markedEntry = w;
}

void updateTitle() {
    char title[fileNameSize + sizeof appTitle + 40];
    const char *home = getenv("HOME");
    size_t n = home ? strlen(home) : 0;
    if (n > 0 && strncmp(fileName, home, n) == 0 && fileName[n] == '/')
        snprintf(title, sizeof title, "%s: ~/%s", appTitle, fileName + n + 1);
    else
        snprintf(title, sizeof title, "%s: %s", appTitle, fileName);
    // Which picture of the file, when it holds several.
    if (pictureCount > 1) {
        size_t n = strlen(title);
        snprintf(title + n, sizeof title - n, " [%d of %d]", pictureIndex, pictureCount);
    }
    XtVaSetValues(topLevel, XtNtitle, title, nullptr);
}

bool setFileName(const char *path) {
    if (strlen(path) >= sizeof fileName) return false;
    strcpy(fileName, path);
    return true;
}

// The menu line is wider than the canvas; the window keeps the canvas's
// width and the spare room of the coordinate label, at its right end, is
// cut off.
void keepCanvasWidth(Widget canvas) {
    Dimension width = 0;
    XtVaGetValues(canvas, XtNwidth, &width, nullptr);
    XtVaSetValues(topLevel, XtNwidth, width, nullptr);
}
