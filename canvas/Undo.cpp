#include "canvas/Undo.h"

#include "canvas/Canvas.h"
#include "canvas/Pick.h"
#include "canvas/PointEntry.h"
#include "objects/History.h"

// A record the step took out of the drawing is no longer selectable.
static void dropSelection(ObjRecord *rec) {
    if (rec == selectedObj) deselect();
}

static void runStep(bool (*step)(void (*)(ObjRecord *))) {
    abandonDrag();
    cancelEntry(nullptr, nullptr, nullptr);
    if (!step(dropSelection)) {
        XBell(XtDisplay(canvas), 0);
        return;
    }
    // The selection may have changed in place: its grips go to its points.
    if (selectedObj) {
        hideGrips();
        showGrips(selectedObj);
    }
    clearCanvas(true);
}

void undoCommand(Widget, XtPointer, XtPointer) { runStep(undoStep); }

void redoCommand(Widget, XtPointer, XtPointer) { runStep(redoStep); }
