// The text placement dialog: text, position and shadow of texts and boxes.
#ifndef VEXILO_TEXTPLACEMENT_H
#define VEXILO_TEXTPLACEMENT_H

#include <X11/Intrinsic.h>

#include "objects/ObjRecord.h"

extern Widget textPlacement;  // the dialog's shell

// True while the dialog is up for a new object, false while it edits the
// selected one: decides which of the Ok/Cancel callbacks acts.
extern bool newTextObject;

void createTextPlacement(Widget parent);
// Opens the dialog for the object whose points are in the point buffer.
void openTextPlacement(const char *title, Boolean shadowSensitive);
void editTextCommand(Widget w, XtPointer client, XtPointer call);
// Callbacks of Ok (client data True) and Cancel (False).
void textConfirmNew(Widget w, XtPointer ok, XtPointer call);
void textConfirmEdit(Widget w, XtPointer ok, XtPointer call);
// Removes, in place, every character that is not printable ASCII.
void keepPrintable(char *text);

#endif
