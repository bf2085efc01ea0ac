// Placeholder until the text placement dialog is built.
#include "shell/TextPlacement.h"

#include "canvas/PointEntry.h"

Widget textPlacement = nullptr;

void createTextPlacement(Widget) {}
void openTextPlacement(const char *, Boolean) { pointCount = 0; }
void editTextCommand(Widget, XtPointer, XtPointer) {}
void textConfirmNew(Widget, XtPointer, XtPointer) {}
void textConfirmEdit(Widget, XtPointer, XtPointer) {}
void keepPrintable(char *) {}
