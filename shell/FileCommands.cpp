#include "shell/FileCommands.h"

#include <X11/Shell.h>
#include <X11/StringDefs.h>
#include <X11/Xaw/Command.h>
#include <X11/Xaw/Dialog.h>
#include <cstdlib>
#include <cstring>
#include <string>

#include "canvas/Canvas.h"
#include "canvas/Decorations.h"
#include "canvas/Pick.h"
#include "canvas/View.h"
#include "objects/ObjRecord.h"
#include "picfile/Writer.h"
#include "shell/FileSelect.h"
#include "shell/Globals.h"
#include "shell/LoadPicture.h"
#include "shell/MainWindow.h"
#include "shell/Resources.h"

// The command waiting for the user's answer while the confirmer is up.
static XtCallbackProc pendingCommand = nullptr;
// The confirmer's dialog and its own question, which other questions
// replace for a while.
static Widget confirmDialog;
static String discardQuestion;

void createConfirmer(Widget parent) {
    confirmer = XtCreatePopupShell("confirmer", transientShellWidgetClass, parent, nullptr, 0);
    Widget dialog = XtCreateManagedWidget("dialog", dialogWidgetClass, confirmer, nullptr, 0);
    confirmDialog = dialog;
    String label = nullptr;
    XtVaGetValues(dialog, XtNlabel, &label, nullptr);
    discardQuestion = XtNewString(label ? label : "Discard changes?");
    confirmButton = XtCreateManagedWidget("confirm", commandWidgetClass, dialog, nullptr, 0);
    XtAddCallback(confirmButton, XtNcallback, popdownShell, confirmer);
    XtAddCallback(confirmButton, XtNcallback, runPending, nullptr);
    XawDialogAddButton(dialog, "cancel", popdownShell, confirmer);
}

void createMessage(Widget parent) {
    message = XtCreatePopupShell("message", transientShellWidgetClass, parent, nullptr, 0);
    messageDialog = XtCreateManagedWidget("dialog", dialogWidgetClass, message, nullptr, 0);
    XawDialogAddButton(messageDialog, "done", popdownShell, message);
}

void popupAtPointer(Widget shell, XtGrabKind grab) {
    XtRealizeWidget(shell);
    Window root, child;
    int rootX = 0, rootY = 0, winX, winY;
    unsigned int mask;
    XQueryPointer(XtDisplay(shell), XtWindow(topLevel), &root, &child, &rootX, &rootY, &winX, &winY, &mask);
    Dimension width = 0, height = 0;
    XtVaGetValues(shell, XtNwidth, &width, XtNheight, &height, nullptr);
    int x = rootX - width / 2, y = rootY - height / 2;
    XtVaSetValues(shell, XtNx, x > 0 ? x : 0, XtNy, y > 0 ? y : 0, nullptr);
    XtPopup(shell, grab);
}

void popdownShell(Widget, XtPointer shell, XtPointer) { XtPopdown(static_cast<Widget>(shell)); }

void showMessage(const char *text) {
    XtVaSetValues(messageDialog, XtNlabel, text, nullptr);
    popupAtPointer(message, XtGrabNone);
    XBell(XtDisplay(message), 0);
}

// Asks the question in the confirmer; Confirm runs proc.
static void ask(const char *question, XtCallbackProc proc) {
    XtVaSetValues(confirmDialog, XtNlabel, question, nullptr);
    pendingCommand = proc;
    popupAtPointer(confirmer, XtGrabNonexclusive);
}

void guardedCommand(Widget, XtPointer command, XtPointer) {
    XtCallbackProc proc = reinterpret_cast<XtCallbackProc>(command);
    if (!modified) {
        proc(nullptr, nullptr, nullptr);
        return;
    }
    ask(discardQuestion, proc);
}

void runPending(Widget, XtPointer, XtPointer) {
    XtCallbackProc proc = pendingCommand;
    pendingCommand = nullptr;
    if (proc) proc(nullptr, nullptr, nullptr);
}

void newCommand(Widget, XtPointer, XtPointer) {
    resetPicture();
    deselect();
    gridToggled(rasterOnToggle, nullptr, nullptr);
    rulerToggled(linealToggle, nullptr, nullptr);
    forgetPictureFile();
    setFileName(noName);
    updateTitle();
}

// Saves to the current name; what could not be kept is gone from it then.
static void saveToFileName(Widget, XtPointer, XtPointer) {
    if (saveDrawing(fileName, showMessage, appResources.backupSuffix)) partsNotKept = 0;
}

void saveCommand(Widget w, XtPointer client, XtPointer call) {
    if (strcmp(fileName, noName) == 0) {
        saveAsCommand(w, client, call);
    } else if (partsNotKept > 0 && objectList) {
        std::string question = std::to_string(partsNotKept) + (partsNotKept == 1 ? " part of " : " parts of ") +
                               fileName + " could not be read and will not be saved. Save anyway?";
        ask(question.c_str(), saveToFileName);
    } else {
        saveToFileName(w, client, call);
    }
}

void quitCommand(Widget, XtPointer, XtPointer) { exit(0); }

void refreshCommand(Widget, XtPointer, XtPointer) { clearCanvas(true); }
