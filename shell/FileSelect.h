// Load... and Save As... through the file selector window.
#ifndef VEXILO_FILESELECT_H
#define VEXILO_FILESELECT_H

#include <X11/Intrinsic.h>
#include <string>

void createFileShell(Widget parent);
void loadCommand(Widget w, XtPointer client, XtPointer call);
void saveAsCommand(Widget w, XtPointer client, XtPointer call);
void loadSelected(Widget w, XtPointer client, XtPointer selection);
void saveSelected(Widget w, XtPointer client, XtPointer selection);
// Loads picture `which` (from 1; 0 the first that holds objects) of the
// file at path and names it in the title; false when it cannot be opened.
bool openPicture(const std::string &path, int which);

#endif
