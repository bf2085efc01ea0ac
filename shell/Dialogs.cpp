#include "shell/Dialogs.h"

#include <X11/Shell.h>
#include <X11/StringDefs.h>
#include <X11/Xaw/AsciiText.h>
#include <X11/Xaw/Box.h>
#include <X11/Xaw/Command.h>
#include <X11/Xaw/Form.h>
#include <X11/Xaw/Label.h>
#include <X11/Xaw/Toggle.h>
#include <cstdlib>
#include <initializer_list>
#include <vector>

#include "canvas/Canvas.h"
#include "canvas/Decorations.h"
#include "canvas/Pick.h"
#include "canvas/PointEntry.h"
#include "canvas/Shift.h"
#include "canvas/View.h"
#include "objects/Constrain.h"
#include "objects/Scale.h"
#include "picfile/Units.h"
#include "shell/Globals.h"
#include "shell/ZoomLabel.h"

// Shell and menu-line button of each dialog, for the Done button's popdown.
static XtPopdownIDRec optionsPopdown, shiftPopdown, zoomPopdown;

static Widget createDialogShell(const char *name, Widget parent, XtPopdownIDRec *popdown) {
    Widget shell = XtCreatePopupShell(name, topLevelShellWidgetClass, parent, nullptr, 0);
    popdown->shell_widget = shell;
    popdown->enable_widget = nullptr;
    return shell;
}

static void addDoneButton(Widget button, XtPopdownIDRec *popdown) {
    XtAddCallback(button, XtNcallback, XtCallbackPopdown, popdown);
}

Widget createDialogButton(const char *name, Widget after, Widget shell) {
    Widget button = XtVaCreateManagedWidget(name, commandWidgetClass, menuLine, XtNfromHoriz, after,
                                            XtNleft, XtChainLeft, XtNright, XtChainLeft, nullptr);
    XtAddCallback(button, XtNcallback, XtCallbackNone, shell);
    for (XtPopdownIDRec *p : {&optionsPopdown, &shiftPopdown, &zoomPopdown})
        if (p->shell_widget == shell) p->enable_widget = button;
    return button;
}

// A one-line text field editing buf (10 characters) in place, with up to
// three more creation arguments.
static Widget createField(const char *name, Widget parent, char *buf, std::initializer_list<Arg> more = {}) {
    Arg args[7];
    Cardinal n = 0;
    XtSetArg(args[n], XtNstring, buf), n++;
    XtSetArg(args[n], XtNuseStringInPlace, True), n++;
    XtSetArg(args[n], XtNlength, fieldTextSize - 1), n++;
    XtSetArg(args[n], XtNeditType, XawtextEdit), n++;
    for (const Arg &a : more)
        if (n < XtNumber(args)) args[n++] = a;
    return XtCreateManagedWidget(name, asciiTextWidgetClass, parent, args, n);
}

static Widget createToggle(const char *name, Widget box, XtCallbackProc proc, XtPointer client) {
    Widget toggle = XtCreateManagedWidget(name, toggleWidgetClass, box, nullptr, 0);
    XtAddCallback(toggle, XtNcallback, proc, client);
    return toggle;
}

void copyState(Widget toggle, XtPointer flag, XtPointer) {
    Boolean state = False;
    XtVaGetValues(toggle, XtNstate, &state, nullptr);
    *static_cast<bool *>(flag) = state;
}

// Keys typed in the settings go to the field the pointer last entered.
static void focusEnteredField(Widget field, XtPointer box, XEvent *, Boolean *) {
    XtSetKeyboardFocus(static_cast<Widget>(box), field);
}

void createOptionsShell(Widget parent) {
    optionsShell = createDialogShell("optionsShell", parent, &optionsPopdown);
    Widget box = XtCreateManagedWidget("box", boxWidgetClass, optionsShell, nullptr, 0);
    rasterOnToggle = createToggle("rasterOn", box, gridToggled, nullptr);
    valueField = createField("value", box, gridText);
    snapOnToggle = createToggle("snapOn", box, copyState, &snapOn);
    slopeToggle = createToggle("slope", box, copyState, &unlimitedSlopes);
    diametersToggle = createToggle("diameters", box, copyState, &unlimitedDiameters);
    linealToggle = createToggle("lineal", box, rulerToggled, nullptr);
    crossToggle = createToggle("cross", box, copyState, &crossOn);
    llineToggle = createToggle("llline", box, copyState, &unlimitedLengths);
    thickLinesToggle = createToggle("thickLines", box, copyState, &thickLinesOn);
    thicknessField = createField("thickness", box, thicknessText);
    addDoneButton(XtCreateManagedWidget("done", commandWidgetClass, box, nullptr, 0), &optionsPopdown);
    XtSetKeyboardFocus(box, valueField);
    for (Widget field : {valueField, thicknessField})
        XtAddEventHandler(field, EnterWindowMask, False, focusEnteredField, box);
}

// Filled chevrons for the shift buttons, drawn into X bitmap data.
enum Pointing { pointUp, pointDown, pointLeft, pointRight };

static Pixmap chevron(Widget w, Pointing where) {
    const int along = 20, across = 35, thick = 9;  // an up chevron is 35 wide, 20 high
    bool vertical = where == pointUp || where == pointDown;
    int width = vertical ? across : along, height = vertical ? along : across;
    int rowBytes = (width + 7) / 8;
    std::vector<char> bits(rowBytes * height, 0);
    for (int a = 0; a < along; a++) {       // distance from the point
        for (int c = 0; c < across; c++) {  // position across the chevron
            int off = std::abs(c - across / 2);
            int depth = a - off * (along - thick) / (across / 2);
            if (depth < 0 || depth >= thick) continue;
            int x, y;
            switch (where) {
            case pointUp: x = c, y = a; break;
            case pointDown: x = c, y = along - 1 - a; break;
            case pointLeft: x = a, y = c; break;
            default: x = along - 1 - a, y = c; break;
            }
            bits[y * rowBytes + x / 8] |= static_cast<char>(1 << (x % 8));
        }
    }
    Display *d = XtDisplay(w);
    return XCreateBitmapFromData(d, DefaultRootWindow(d), bits.data(), width, height);
}

static void shiftButtonPressed(Widget, XtPointer direction, XtPointer) {
    shiftView(static_cast<int>(reinterpret_cast<long>(direction)));
}

// The arrows' places leave them no margin around their bitmaps: with the
// Command's own margins the right and the down arrow would reach past the
// dialog's edge. The centre mark keeps a margin of 2.
static Widget createShiftButton(const char *name, Widget parent, Pixmap bitmap, Position x, Position y,
                                int direction, Dimension internalWidth = 0) {
    Arg args[6];
    Cardinal n = 0;
    XtSetArg(args[n], XtNbitmap, bitmap), n++;
    XtSetArg(args[n], XtNx, x), n++;
    XtSetArg(args[n], XtNy, y), n++;
    XtSetArg(args[n], XtNborderWidth, 0), n++;
    XtSetArg(args[n], XtNinternalWidth, internalWidth), n++;
    XtSetArg(args[n], XtNinternalHeight, internalWidth), n++;
    Widget button = XtCreateManagedWidget(name, commandWidgetClass, parent, args, n);
    // The entry's outline goes first, while it is still where it was drawn:
    // after the shift has cleared the canvas, removing it would draw it.
    XtAddCallback(button, XtNcallback, cancelEntry, nullptr);
    XtAddCallback(button, XtNcallback, shiftButtonPressed, reinterpret_cast<XtPointer>(long(direction)));
    return button;
}

void createShiftShell(Widget parent) {
    static const unsigned char centreBits[] = {0xe7, 0x81, 0x81, 0x00, 0x00, 0x81, 0x81, 0xe7};
    shiftShell = createDialogShell("shiftShell", parent, &shiftPopdown);
    XtVaSetValues(shiftShell, XtNallowShellResize, False, nullptr);
    Widget moveBase = XtVaCreateManagedWidget("moveBase", compositeWidgetClass, shiftShell, XtNwidth, 68,
                                              XtNheight, 120, nullptr);
    createShiftButton("up", moveBase, chevron(moveBase, pointUp), 0, 0, shiftUp);
    createShiftButton("right", moveBase, chevron(moveBase, pointRight), 46, 0, shiftRight);
    createShiftButton("left", moveBase, chevron(moveBase, pointLeft), 0, 27, shiftLeft);
    createShiftButton("down", moveBase, chevron(moveBase, pointDown), 31, 42, shiftDown);
    Display *d = XtDisplay(moveBase);
    Pixmap centre = XCreateBitmapFromData(d, DefaultRootWindow(d), reinterpret_cast<const char *>(centreBits), 8, 8);
    createShiftButton("center", moveBase, centre, 31, 27, shiftCentre, 2);
    // moveBase lays nothing out: each child is created at its place and size.
    offsetField = createField("offset", moveBase, offsetText, {{XtNx, 2}, {XtNy, 68}, {XtNwidth, 54}});
    Widget done = XtVaCreateManagedWidget("done", commandWidgetClass, moveBase, XtNx, 2, XtNy, 98, nullptr);
    addDoneButton(done, &shiftPopdown);
    XtSetKeyboardFocus(moveBase, offsetField);
}

void createZoomShell(Widget parent) {
    zoomShell = createDialogShell("zoomShell", parent, &zoomPopdown);
    Widget entry = XtCreateManagedWidget("entry", boxWidgetClass, zoomShell, nullptr, 0);
    XtCreateManagedWidget("zoom", labelWidgetClass, entry, nullptr, 0);
    factorField = createField("factor", entry, zoomText);
    XtAccelerators keys = XtParseAcceleratorTable(
        "#override <Key>Return:\t\tset() notify() unset()\n<Key>KP_Enter:\t\tset() notify() unset()");
    Widget done = XtVaCreateManagedWidget("done", commandWidgetClass, entry, XtNaccelerators, keys, nullptr);
    XtAddCallback(done, XtNcallback, zoomDone, nullptr);
    addDoneButton(done, &zoomPopdown);
    XtInstallAllAccelerators(factorField, entry);
    XtSetKeyboardFocus(entry, factorField);
}

void zoomDone(Widget, XtPointer, XtPointer) {
    // The entered points are pixels of the old zoom: the entry is given
    // up, its outline removed while still where it was drawn.
    cancelEntry(nullptr, nullptr, nullptr);
    rescaleAll(1 / zoomFactor);
    zoomFactor = zoomFromText(zoomText);
    setZoomLabel(zoomButton);
    rescaleAll(zoomFactor);
    deselect();
    clearCanvas(true);
}
