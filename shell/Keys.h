// The keyboard: actions for the menu commands, bound to keys by the
// accelerators of the menu line's buttons (resources, so a user can bind
// other keys), and each menu entry's key shown at its right.
#ifndef VEXILO_KEYS_H
#define VEXILO_KEYS_H

#include <X11/Intrinsic.h>

void registerKeyActions(XtAppContext app);
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
