// The settings, shift and zoom dialogs.
#ifndef VEXILO_DIALOGS_H
#define VEXILO_DIALOGS_H

#include <X11/Intrinsic.h>

void createOptionsShell(Widget parent);
void createShiftShell(Widget parent);
void createZoomShell(Widget parent);

// A menu-line button that pops shell up without a grab and stays
// insensitive while it is up.
Widget createDialogButton(const char *name, Widget after, Widget shell);

void copyState(Widget toggle, XtPointer flag, XtPointer call);
void zoomDone(Widget w, XtPointer client, XtPointer call);

#endif
