// Pick mode: selecting objects, grips to move and resize them, copy, delete.
#ifndef VEXILO_PICK_H
#define VEXILO_PICK_H

#include <X11/Intrinsic.h>
#include "objects/ObjRecord.h"

extern ObjRecord *selectedObj;  // the selected object, or NULL

void createGrips();
void pickAt(int x, int y);
void showGrips(ObjRecord *rec);
void hideGrips();
void deselect();
void gripsFollowShift(int dx, int dy);
void copyCommand(Widget w, XtPointer client, XtPointer call);
void deleteCommand(Widget w, XtPointer client, XtPointer call);

#endif
