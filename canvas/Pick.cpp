// Placeholder until pick mode is built.
#include "canvas/Pick.h"

ObjRecord *selectedObj = nullptr;

void createGrips() { modified = false; }
void pickAt(int, int) {}
void showGrips(ObjRecord *) {}
void hideGrips() {}
void deselect() { selectedObj = nullptr; }
void gripsFollowShift(int, int) {}
void copyCommand(Widget, XtPointer, XtPointer) {}
void deleteCommand(Widget, XtPointer, XtPointer) {}
