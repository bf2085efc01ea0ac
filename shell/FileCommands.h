// The File menu's New, Save and Quit, Refresh, the "Discard changes?"
// confirmer and the message popup.
#ifndef VEXILO_FILECOMMANDS_H
#define VEXILO_FILECOMMANDS_H

#include <X11/Intrinsic.h>

// Builds the contents of the confirmer and the message popup.
void createConfirmer(Widget parent);
void createMessage(Widget parent);

// Pops shell up centred on the pointer, never off the top or left edge.
void popupAtPointer(Widget shell, XtGrabKind grab);
void popdownShell(Widget w, XtPointer shell, XtPointer call);
// The message sink of the reader and the writer.
void showMessage(const char *text);

// Runs the command given as client data at once, or after the user
// confirmed when the drawing has changed.
void guardedCommand(Widget w, XtPointer command, XtPointer call);
void runPending(Widget w, XtPointer client, XtPointer call);

void newCommand(Widget w, XtPointer client, XtPointer call);
void saveCommand(Widget w, XtPointer client, XtPointer call);
void quitCommand(Widget w, XtPointer client, XtPointer call);
void refreshCommand(Widget w, XtPointer client, XtPointer call);

#endif
