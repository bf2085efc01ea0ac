// Undo and redo of the drawing's changes, as commands of the canvas.
#ifndef VEXILO_UNDO_H
#define VEXILO_UNDO_H

#include <X11/Intrinsic.h>

// Each first abandons an object being entered or a grip drag, then undoes
// (redoes) the last step and redraws the canvas; the bell when there is
// nothing to undo (redo).
void undoCommand(Widget w, XtPointer client, XtPointer call);
void redoCommand(Widget w, XtPointer client, XtPointer call);

#endif
