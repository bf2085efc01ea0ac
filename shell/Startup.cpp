#include "shell/Startup.h"

#include <X11/Shell.h>
#include <X11/StringDefs.h>
#include <X11/Xaw/SmeLine.h>
#include <X11/Xaw/Form.h>
#include <X11/Xaw/Label.h>
#include <X11/Xaw/Paned.h>
#include <X11/Xaw/Toggle.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "canvas/Canvas.h"
#include "canvas/Decorations.h"
#include "canvas/Pick.h"
#include "canvas/PointEntry.h"
#include "canvas/Selection.h"
#include "canvas/Undo.h"
#include "canvas/View.h"
#include "objects/Constrain.h"
#include "objects/History.h"
#include "objects/Scale.h"
#include "shell/LoadPicture.h"
#include "picfile/Version.h"
#include "shell/Dialogs.h"
#include "shell/FileCommands.h"
#include "shell/FileSelect.h"
#include "shell/Globals.h"
#include "shell/Keys.h"
#include "shell/LatexView.h"
#include "shell/MainWindow.h"
#include "shell/PictureChoice.h"
#include "shell/Resources.h"
#include "shell/TextPlacement.h"
#include "shell/ZoomLabel.h"


// Copies a setting into its flag and shows it on its toggle.
static void initSetting(bool *flag, Boolean value, Widget toggle) {
    *flag = value;
    XtVaSetValues(toggle, XtNstate, value, nullptr);
}

void startVexilo(int argc, char **argv) {
    // The toolkit with the fallback resources, then the application resources.
    snprintf(appTitle, sizeof appTitle, "Vexilo %s.%s", versionMajor, versionMinor);
    topLevel = XtVaAppInitialize(&appContext, "Vexilo", optionTable, optionCount, &argc, argv,
                                 fallbackResources, XtNtitle, appTitle, nullptr);
    XtGetApplicationResources(topLevel, &appResources, appResourceList, appResourceCount, nullptr, 0);

    // The main window: the menu line with its menus and dialog buttons, and
    // the popups they open.
    setIcon(topLevel);
    topForm = XtVaCreateManagedWidget("topForm", panedWidgetClass, topLevel, XtNorientation,
                                      XtorientVertical, nullptr);
    menuLine = XtCreateManagedWidget("menuLine", formWidgetClass, topForm, nullptr, 0);
    Widget fileButton, editButton, drawButton;
    Widget fileMenu = createMenuButton("file", "fileMenu", nullptr, &fileButton);
    createConfirmer(topForm);
    createMessage(topForm);
    addMenuEntry(fileMenu, "new", guardedCommand, reinterpret_cast<XtPointer>(newCommand));
    addMenuEntry(fileMenu, "load", guardedCommand, reinterpret_cast<XtPointer>(loadCommand));
    addMenuEntry(fileMenu, "save", saveCommand, nullptr);
    addMenuEntry(fileMenu, "saveas", saveAsCommand, nullptr);
    addMenuEntry(fileMenu, "quit", guardedCommand, reinterpret_cast<XtPointer>(quitCommand));

    Widget editMenu = createMenuButton("edit", "editMenu", fileButton, &editButton);
    undoEntry = addMenuEntry(editMenu, "undo", undoCommand, nullptr);
    redoEntry = addMenuEntry(editMenu, "redo", redoCommand, nullptr);
    XtCreateManagedWidget("separator", smeLineObjectClass, editMenu, nullptr, 0);
    addMenuEntry(editMenu, "copy", copyCommand, nullptr);
    addMenuEntry(editMenu, "delete", deleteCommand, nullptr);
    addMenuEntry(editMenu, "selectAll", selectAllCommand, nullptr);
    addMenuEntry(editMenu, "editText", editTextCommand, nullptr);
    XtCreateManagedWidget("separator", smeLineObjectClass, editMenu, nullptr, 0);
    addMenuEntry(editMenu, "refresh", refreshCommand, nullptr);

    createDrawMenu(createMenuButton("draw", "drawMenu", editButton, &drawButton));
    showMenuKeys(fileMenu);
    showMenuKeys(editMenu);
    setHistoryHook(updateUndoEntries);
    updateUndoEntries();

    createOptionsShell(topForm);
    optionsButton = createDialogButton("options", drawButton, optionsShell);
    createShiftShell(topForm);
    shiftButton = createDialogButton("shift", optionsButton, shiftShell);
    createZoomShell(topForm);
    zoomButton = createDialogButton("zoom", shiftButton, zoomShell);
    keepZoomLabelFormat(zoomButton);
    Widget latexButton = createLatexToggle(zoomButton);
    coord = XtVaCreateManagedWidget("coord", labelWidgetClass, menuLine, XtNfromHoriz, latexButton,
                                    XtNleft, XtChainLeft, XtNright, XtChainLeft, nullptr);

    // The canvas and the file selector; realized, the coordinate label is
    // emptied (its initial text only gave it its width).
    createCanvas(topForm, appResources.defaultUnitLength, appResources.initOffset);
    keepCanvasWidth(canvas);
    createFileShell(topForm);
    createPictureChoice(topForm);
    XtRealizeWidget(topLevel);
    XtVaSetValues(coord, XtNlabel, "", nullptr);

    // What drawing needs a window for: the graphics contexts; then the
    // slope tables and the start zoom with its label.
    Pixel background;
    XtVaGetValues(canvas, XtNbackground, &background, nullptr);
    createDrawingGCs(XtDisplay(canvas), XtWindow(canvas), appResources.font, appResources.foreground,
                     background, appResources.initGridDistance);
    buildSlopeTable(lineSlopes, 6);
    buildSlopeTable(vectorSlopes, 4);
    snprintf(zoomText, sizeof zoomText, "%.9s", appResources.initZoomFactor ? appResources.initZoomFactor : "");
    zoomFactor = zoomFromText(zoomText);
    setZoomLabel(zoomButton);

    // Canvas input: actions and translations, the cross-hair and ruler
    // contexts and handlers, the text dialog, pick mode's grips and marks,
    // and the outline redraws, which must follow every other expose handler.
    registerCanvasActions(appContext, canvas);
    createDecorationGCs(appResources.rulerFont, appResources.foreground, background);
    installDecorationHandlers(canvas, coord);
    createTextPlacement(topForm);
    initCrossHair();
    createGrips();
    installSelectionRedraw(canvas);
    installOutlineRedraw(canvas);
    initLatexView(appContext);
    registerKeyActions(appContext);
    installKeys(topLevel, menuLine);

    // The Boolean settings into their flags and toggles; the grid then
    // checks its distance and may switch itself off again.
    initSetting(&gridOn, appResources.initGrid, rasterOnToggle);
    initSetting(&snapOn, appResources.initSnapGrid, snapOnToggle);
    initSetting(&unlimitedSlopes, appResources.initUnlimitedSlopes, slopeToggle);
    initSetting(&unlimitedDiameters, appResources.initUnlimitedCircles, diametersToggle);
    initSetting(&rulerOn, appResources.initRuler, linealToggle);
    initSetting(&crossOn, appResources.initCross, crossToggle);
    initSetting(&unlimitedLengths, appResources.initUnlimitedLengths, llineToggle);
    gridToggled(rasterOnToggle, nullptr, nullptr);

    // The picture named on the command line; an empty one without it or
    // when it cannot be read.
    // "-picture N" chooses the picture of the file by its number.
    int which = 0;
    for (int i = 1; i + 1 < argc; i++) {
        if (strcmp(argv[i], "-picture") != 0) continue;
        which = atoi(argv[i + 1]);
        for (int j = i; j + 2 <= argc; j++) argv[j] = argv[j + 2];
        argc -= 2;
        break;
    }
    setFileName(noName);
    if (argc < 2 || !loadPicture(argv[1], showMessage, which))
        resetOrigin();
    else
        setFileName(argv[1]);  // a name too long to keep leaves "No name"

    // The settings fields show the values as formatted above; the title
    // names the picture.
    XtVaSetValues(valueField, XtNstring, gridText, nullptr);
    XtVaSetValues(factorField, XtNstring, zoomText, nullptr);
    XtVaSetValues(offsetField, XtNstring, offsetText, nullptr);
    XSync(XtDisplay(topLevel), False);
    updateTitle();
}

void runVexilo() {
    XtAppMainLoop(appContext);
    exit(0);
}
