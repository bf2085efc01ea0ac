#include "canvas/Undo.h"

#include "canvas/Canvas.h"
#include "canvas/Pick.h"
#include "canvas/PointEntry.h"
#include "canvas/Selection.h"
#include "objects/History.h"

static void runStep(bool (*step)(void (*)(ObjRecord *))) {
    abandonDrag();
    cancelEntry(nullptr, nullptr, nullptr);
    // A record the step takes out of the drawing leaves the selection.
    if (!step(forgetSelected)) {
        XBell(XtDisplay(canvas), 0);
        return;
    }
    settleSelection();
    // The selection may have changed in place: its grips go to its points.
    if (selectedObj) {
        hideGrips();
        showGrips(selectedObj);
    }
    clearCanvas(true);
}

void undoCommand(Widget, XtPointer, XtPointer) { runStep(undoStep); }

void redoCommand(Widget, XtPointer, XtPointer) { runStep(redoStep); }
