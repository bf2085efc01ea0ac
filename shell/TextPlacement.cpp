#include "shell/TextPlacement.h"

#include <X11/Shell.h>
#include <X11/StringDefs.h>
#include <X11/Xaw/AsciiText.h>
#include <X11/Xaw/Box.h>
#include <X11/Xaw/Command.h>
#include <X11/Xaw/Form.h>
#include <X11/Xaw/Paned.h>
#include <X11/Xaw/Toggle.h>
#include <cstring>
#include <string>
#include <vector>

#include "canvas/Canvas.h"
#include "canvas/Pick.h"
#include "canvas/View.h"
#include "canvas/PointEntry.h"
#include "objects/History.h"
#include "objects/Render.h"

Widget textPlacement = nullptr;
bool newTextObject = false;

static Widget textField = nullptr;
static Widget positionGroup = nullptr;  // justTopLeft: names the position radio group
static Widget shadowBox = nullptr;
static Widget noShadowToggle = nullptr;  // also names the shadow radio group
// The toolkit replaces a radio value of 0 by the toggle's name, so the
// "no shadow" toggle carries that value instead; read back after creation.
static XtPointer noShadowData = nullptr;

static const char toggleTranslations[] =
    "<EnterWindow>:\t\thighlight(Always)\n"
    "<LeaveWindow>:\t\tunhighlight()\n"
    "<Btn1Down>,<Btn1Up>:\tset() notify()";

struct PositionToggle {
    const char *name;
    long radioData;   // the object's flags
    int fromHoriz;    // index of the toggle to the left, -1 for none
    int fromVert;     // index of the toggle above, -1 for none
    XtEdgeType top, bottom, left, right;
};

// A 3 x 3 grid whose corners and edges stay with the Form's sides.
static const PositionToggle positionToggles[] = {
    {"justTopLeft", posTop | posLeft, -1, -1, XtChainTop, XtRubber, XtChainLeft, XtRubber},
    {"justTop", posTop | posHCenter, 0, -1, XtChainTop, XtRubber, XtRubber, XtRubber},
    {"justTopRight", posTop | posRight, 1, -1, XtChainTop, XtRubber, XtRubber, XtChainRight},
    {"justLeft", posVCenter | posLeft, -1, 0, XtRubber, XtRubber, XtChainLeft, XtRubber},
    {"justCenter", posCentred, 3, 0, XtRubber, XtRubber, XtRubber, XtRubber},
    {"justRight", posVCenter | posRight, 4, 0, XtRubber, XtRubber, XtRubber, XtChainRight},
    {"justBottomLeft", posBottom | posLeft, -1, 3, XtRubber, XtChainBottom, XtChainLeft, XtRubber},
    {"justBottom", posBottom | posHCenter, 6, 3, XtRubber, XtChainBottom, XtRubber, XtRubber},
    {"justBottomRight", posBottom | posRight, 7, 3, XtRubber, XtChainBottom, XtRubber, XtChainRight},
};
const int positionCount = sizeof positionToggles / sizeof positionToggles[0];
const int centreToggle = 4;

static XtPointer radioValue(long v) { return reinterpret_cast<XtPointer>(v); }

static void createPositionToggles(Widget form, XtTranslations translations) {
    Widget made[positionCount];
    for (int i = 0; i < positionCount; i++) {
        const PositionToggle &t = positionToggles[i];
        made[i] = XtVaCreateManagedWidget(
            t.name, toggleWidgetClass, form, XtNtranslations, translations, XtNradioGroup,
            i == 0 ? nullptr : made[0], XtNradioData, radioValue(t.radioData), XtNfromHoriz,
            t.fromHoriz < 0 ? nullptr : made[t.fromHoriz], XtNfromVert, t.fromVert < 0 ? nullptr : made[t.fromVert],
            XtNtop, t.top, XtNbottom, t.bottom, XtNleft, t.left, XtNright, t.right, XtNstate,
            i == centreToggle ? True : False, nullptr);
    }
    positionGroup = made[0];
}

static void createShadowToggles(Widget box, XtTranslations translations) {
    noShadowToggle = XtVaCreateManagedWidget("noShadow", toggleWidgetClass, box, XtNtranslations, translations,
                                             XtNradioData, radioValue(noShadow), XtNstate, True, nullptr);
    XtVaGetValues(noShadowToggle, XtNradioData, &noShadowData, nullptr);
    XtVaCreateManagedWidget("framedShadow", toggleWidgetClass, box, XtNtranslations, translations, XtNradioGroup,
                            noShadowToggle, XtNradioData, radioValue(framedShadow), nullptr);
    XtVaCreateManagedWidget("filledShadow", toggleWidgetClass, box, XtNtranslations, translations, XtNradioGroup,
                            noShadowToggle, XtNradioData, radioValue(filledShadow), nullptr);
}

static void addConfirmCallbacks(Widget button, Boolean ok) {
    XtPointer client = reinterpret_cast<XtPointer>(static_cast<long>(ok));
    XtAddCallback(button, XtNcallback, textConfirmNew, client);
    XtAddCallback(button, XtNcallback, textConfirmEdit, client);
}

void createTextPlacement(Widget parent) {
    textPlacement = XtCreatePopupShell("textPlacement", topLevelShellWidgetClass, parent, nullptr, 0);
    Widget pane = XtCreateManagedWidget("pane", panedWidgetClass, textPlacement, nullptr, 0);
    // The field holds a text of any length; it keeps it between uses.
    textField = XtVaCreateManagedWidget("text", asciiTextWidgetClass, pane, XtNstring, "", XtNeditType,
                                        XawtextEdit, XtNresize, XawtextResizeWidth, nullptr);
    XtTranslations translations = XtParseTranslationTable(toggleTranslations);
    Widget position = XtVaCreateManagedWidget("position", formWidgetClass, pane, XtNshowGrip, True, nullptr);
    createPositionToggles(position, translations);
    shadowBox = XtCreateManagedWidget("shadow", boxWidgetClass, pane, nullptr, 0);
    createShadowToggles(shadowBox, translations);

    Widget popDown = XtCreateManagedWidget("popDown", boxWidgetClass, pane, nullptr, 0);
    XtAccelerators okKeys = XtParseAcceleratorTable(
        "#override <Key>Return:\t\tset() notify() unset()\n<Key>KP_Enter:\t\tset() notify() unset()");
    XtAccelerators cancelKeys = XtParseAcceleratorTable("#override <Key>Escape:\t\tset() notify() unset()");
    Widget confirm = XtVaCreateManagedWidget("confirm", commandWidgetClass, popDown, XtNaccelerators, okKeys, nullptr);
    Widget cancel = XtVaCreateManagedWidget("cancel", commandWidgetClass, popDown, XtNaccelerators, cancelKeys, nullptr);
    addConfirmCallbacks(confirm, True);
    addConfirmCallbacks(cancel, False);
    XtInstallAllAccelerators(textField, pane);
    XtSetKeyboardFocus(pane, textField);
}

static int positionChoice() {
    return static_cast<int>(reinterpret_cast<long>(XawToggleGetCurrent(positionGroup)));
}

static int shadowChoice() {
    long v = reinterpret_cast<long>(XawToggleGetCurrent(noShadowToggle));
    return v == framedShadow || v == filledShadow ? static_cast<int>(v) : noShadow;
}

static void showChoices(int flags, int shadow) {
    XawToggleSetCurrent(positionGroup, radioValue(flags));
    XawToggleSetCurrent(noShadowToggle, shadow == noShadow ? noShadowData : radioValue(shadow));
}

// The type the current mode enters, when it is one the dialog completes.
static int entryType() {
    if (graphMode < 0 || graphMode >= modeCount) return -1;
    int t = modeType[graphMode];
    return t == ObjFramedBox || t == ObjDashedBox || t == ObjText ? t : -1;
}

// The outline of the entered object, which stays while the dialog is up;
// being XOR, a second drawing removes it.
static void entryOutline() {
    int t = entryType();
    if (t >= 0 && canvasRealized())
        ObjRubber(static_cast<ObjType>(t), XtDisplay(canvas), XtWindow(canvas), pointBuffer, pointCount);
}

void openTextPlacement(const char *title, Boolean shadowSensitive) {
    newTextObject = true;
    entryOutline();
    XtVaSetValues(textPlacement, XtNtitle, title, nullptr);
    XtSetSensitive(shadowBox, shadowSensitive);
    XtPopupSpringLoaded(textPlacement);
}

void editTextCommand(Widget, XtPointer, XtPointer) {
    if (!objectList || !selectedObj) return;
    const char *title;
    switch (selectedObj->type) {
    case ObjFramedBox: title = "Framed Box Text Placement"; break;
    case ObjText: title = "Text Placement"; break;
    case ObjDashedBox: title = "Dashed Box Text Placement"; break;
    default: return;
    }
    newTextObject = false;
    XtVaSetValues(textPlacement, XtNtitle, title, nullptr);
    showChoices(selectedObj->flags, selectedObj->shadow);
    XtVaSetValues(textField, XtNstring, ObjGetText(selectedObj), nullptr);
    XtSetSensitive(shadowBox, selectedObj->type != ObjText);
    XtPopupSpringLoaded(textPlacement);
}

// The field's text cleaned for an object; the field shows it so.
static std::string cleanText() {
    String string = nullptr;
    XtVaGetValues(textField, XtNstring, &string, nullptr);
    std::string typed = string ? string : "";
    std::vector<char> printable(typed.c_str(), typed.c_str() + typed.size() + 1);
    keepPrintable(printable.data());
    std::string text = printable.data();
    escapePercents(text);  // as the file will hold it
    balanceText(text);
    if (text != typed) XtVaSetValues(textField, XtNstring, text.c_str(), nullptr);
    return text;
}

// Whether the dialog's text, position and shadow differ from rec's.
static bool differs(const ObjRecord *rec, const std::string &text) {
    return text != ObjGetText(rec) || rec->flags != positionChoice() || rec->shadow != shadowChoice();
}

// Gives rec the dialog's (cleaned) text, position and shadow.
static void takeText(ObjRecord *rec, const std::string &text) {
    ObjSetText(rec, text.c_str());
    rec->flags = positionChoice();
    rec->shadow = shadowChoice();
}

void textConfirmNew(Widget, XtPointer ok, XtPointer) {
    if (!newTextObject) return;
    entryOutline();
    int t = entryType();
    if (ok && t >= 0) {
        ObjRecord *rec = ObjNew(static_cast<ObjType>(t));
        ObjStore(rec, pointBuffer);
        applyChosenThickness(rec);
        takeText(rec, cleanText());
        addObject(rec);
        ObjDraw(rec, XtDisplay(canvas), XtWindow(canvas));
    }
    pointCount = 0;
    XtPopdown(textPlacement);
}

void textConfirmEdit(Widget, XtPointer ok, XtPointer) {
    if (newTextObject) return;
    if (ok && selectedObj) {
        std::string text = cleanText();
        // An Ok that changes nothing is no step to undo.
        if (differs(selectedObj, text)) {
            changeObject(selectedObj);
            takeText(selectedObj, text);
        }
        // The old text goes with a full redraw, which draws the new one.
        clearCanvas(true);
    }
    XtPopdown(textPlacement);
}

void keepPrintable(char *text) {
    char *out = text;
    for (const char *in = text; *in; in++)
        if (*in >= 0x20 && *in <= 0x7e) *out++ = *in;
    *out = '\0';
}
