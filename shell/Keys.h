// The keyboard: actions for the menu commands, bound to keys by the
// accelerators of the menu line's buttons (resources, so a user can bind
// other keys), and each menu entry's key shown at its right.
#ifndef VEXILO_KEYS_H
#define VEXILO_KEYS_H

#include <X11/Intrinsic.h>

void registerKeyActions(XtAppContext app);
// The accelerators resource of the widget name (of class className) that
// is to be created under parent, parsed from its text; NULL when it has
// none. The toolkit's own conversion leaves a broken table in the widget
// when the text holds a syntax error, where parsing keeps what it can:
// pass the result as the widget's XtNaccelerators at creation.
XtAccelerators readAccelerators(Widget parent, const char *name, const char *className);
// Installs the accelerators of the menu line's widgets on every widget of
// the main window below shell, popups left out: the keys work wherever
// the main window has the pointer or the focus.
void installKeys(Widget shell, Widget menuLine);
// Shows each entry's key, the resource "key.label" of the entry, at the
// right of its label.
void showMenuKeys(Widget menu);
// Makes Undo and Redo sensitive as there is something to undo or redo.
void updateUndoEntries();

#endif
