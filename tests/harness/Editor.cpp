// gtest first: the X headers define names it uses.
#include <gtest/gtest.h>

#include "harness/Editor.h"

#include <X11/StringDefs.h>
#include <X11/Xaw/MenuButton.h>
#include <X11/Xaw/SimpleMenu.h>
#include <X11/Xlib.h>
#include <cstring>

#include "canvas/Canvas.h"
#include "canvas/Pick.h"
#include "shell/Globals.h"
#include "shell/Resources.h"
#include "shell/Startup.h"

namespace harness {

void startEditor(const std::vector<std::string> &args) {
    privateDisplay();
    static std::vector<std::string> storage;  // argv must outlive start-up
    storage.assign(1, "vexilo");
    storage.insert(storage.end(), args.begin(), args.end());
    static std::vector<char *> argv;
    argv.clear();
    for (std::string &s : storage) argv.push_back(&s[0]);
    argv.push_back(nullptr);
    startVexilo(static_cast<int>(storage.size()), argv.data());
    idle();
}

void idle() { pump(appContext); }

Widget find(const char *path) { return XtNameToWidget(topLevel, path); }

void chooseMenu(const char *button, const char *entry) {
    Widget b = find((std::string("topForm.menuLine.") + button).c_str());
    if (!b) {
        harnessFailure(std::string("no menu button ") + button);
        return;
    }
    String menuName = nullptr;
    XtVaGetValues(b, XtNmenuName, &menuName, nullptr);
    Widget menu = menuName ? XtNameToWidget(b, menuName) : nullptr;
    Widget item = menu ? XtNameToWidget(menu, entry) : nullptr;
    if (!item) {
        harnessFailure(std::string("no entry ") + entry + " in the menu of " + button);
        return;
    }
    Dimension bw, bh;
    XtVaGetValues(b, XtNwidth, &bw, XtNheight, &bh, nullptr);
    moveTo(appContext, b, bw / 2, bh / 2);
    press(appContext, 1);
    Position y = 0;
    Dimension h = 0, w = 0;
    XtVaGetValues(item, XtNy, &y, XtNheight, &h, nullptr);
    XtVaGetValues(menu, XtNwidth, &w, nullptr);
    moveTo(appContext, menu, w / 2, y + h / 2);
    release(appContext, 1);
}

void canvasMove(int x, int y) { moveTo(appContext, canvas, x, y); }

void canvasClick(int x, int y, int button) { click(appContext, canvas, x, y, button); }

void pressButton(Widget w) {
    Dimension width = 0, height = 0;
    XtVaGetValues(w, XtNwidth, &width, XtNheight, &height, nullptr);
    click(appContext, w, width / 2, height / 2);
}

std::string windowTitle() { return stringResource(topLevel, XtNtitle); }

std::string labelOf(Widget w) { return stringResource(w, XtNlabel); }

XImage *canvasImage() {
    XImage *image = grab(canvas);
    // Sibling windows stacked over the canvas (the pane grip of the main
    // window) are not the canvas's drawing: show them as background.
    Display *d = XtDisplay(canvas);
    Window root, parent, *children = nullptr;
    unsigned int n = 0;
    XQueryTree(d, XtWindow(XtParent(canvas)), &root, &parent, &children, &n);
    Position cx = 0, cy = 0;
    XtVaGetValues(canvas, XtNx, &cx, XtNy, &cy, nullptr);
    bool above = false;
    for (unsigned int i = 0; i < n; i++) {
        if (children[i] == XtWindow(canvas)) {
            above = true;
            continue;
        }
        XWindowAttributes a;
        if (!above || !XGetWindowAttributes(d, children[i], &a) || a.map_state != IsViewable) continue;
        for (int y = a.y - cy; y < a.y - cy + a.height + 2 * a.border_width; y++)
            for (int x = a.x - cx; x < a.x - cx + a.width + 2 * a.border_width; x++)
                if (x >= 0 && y >= 0 && x < image->width && y < image->height)
                    XPutPixel(image, x, y, canvasBackground());
    }
    if (children) XFree(children);
    return image;
}

unsigned long canvasBackground() {
    Pixel p = 0;
    XtVaGetValues(canvas, XtNbackground, &p, nullptr);
    return p;
}

unsigned long canvasForeground() { return appResources.foreground; }

int inkCount(XImage *image) {
    return image->width * image->height - countPixels(image, canvasBackground());
}

bool noResidue() {
    XImage *now = canvasImage();
    clearCanvas(true);
    idle();
    XImage *redrawn = canvasImage();
    bool same = sameImage(now, redrawn);
    XDestroyImage(now);
    XDestroyImage(redrawn);
    return same;
}

void typeInto(Widget field, const char *text) {
    Dimension width = 0, height = 0;
    XtVaGetValues(field, XtNwidth, &width, XtNheight, &height, nullptr);
    moveTo(appContext, field, width / 2, height / 2);
    key(appContext, "End");
    for (size_t n = stringResource(field, XtNstring).size(); n > 0; n--) key(appContext, "BackSpace");
    typeText(appContext, text);
}

void drawObject(const char *mode, std::initializer_list<XPoint> points) {
    chooseMenu("draw", mode);
    for (XPoint p : points) canvasClick(p.x, p.y);
}

void placeText(const char *text) {
    Widget shell = find("*textPlacement");
    ASSERT_TRUE(shellUp(shell));
    typeInto(find("*textPlacement*text"), text);
    key(appContext, "Return");
    EXPECT_FALSE(shellUp(shell));
}

void nominateFile(const std::string &path) {
    ASSERT_TRUE(shellUp(fileShell));
    // The field keeps the last name typed in the same directory.
    typeInto(XtNameToWidget(fileShell, "*filename.text"), path.c_str());
    key(appContext, "Return");
    EXPECT_FALSE(shellUp(fileShell));
}

XPoint gripAt(int i) {
    Position x = 0, y = 0;
    XtVaGetValues(gripSlots[i].grip, XtNx, &x, XtNy, &y, nullptr);
    return {static_cast<short>(x + gripHalfWidth), static_cast<short>(y + gripHalfHeight)};
}

bool anyGripMapped() {
    for (const GripSlot &slot : gripSlots) {
        XWindowAttributes a;
        if (XGetWindowAttributes(XtDisplay(canvas), XtWindow(slot.grip), &a) && a.map_state == IsViewable)
            return true;
    }
    return false;
}

void dragGrip(int i, int dx, int dy, int button) {
    Dimension w = 0, h = 0;
    XtVaGetValues(gripSlots[i].grip, XtNwidth, &w, XtNheight, &h, nullptr);
    drag(appContext, gripSlots[i].grip, w / 2, h / 2, w / 2 + dx, h / 2 + dy, button);
}

}  // namespace harness
