// Load... and Save As... through the file selector window.
#ifndef VEXILO_FILESELECT_H
#define VEXILO_FILESELECT_H

#include <X11/Intrinsic.h>

void createFileShell(Widget parent);
void loadCommand(Widget w, XtPointer client, XtPointer call);
void saveAsCommand(Widget w, XtPointer client, XtPointer call);
void loadSelected(Widget w, XtPointer client, XtPointer selection);
void saveSelected(Widget w, XtPointer client, XtPointer selection);

#endif
