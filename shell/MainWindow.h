// The main window's menu line: menus, the draw mode's check mark, the title.
#ifndef VEXILO_MAINWINDOW_H
#define VEXILO_MAINWINDOW_H

#include <X11/Intrinsic.h>

// A row of the draw menu: entry name, drawing mode, the created entry.
struct DrawMenuRow {
    const char *name;  // "separator" for a separator line
    int mode;
    Widget entry;
};
extern DrawMenuRow drawMenuTable[15];

extern Widget markedEntry;  // the draw-menu entry showing the check mark

void setIcon(Widget shell);
// A menu button on the menu line with its popup menu; returns the menu.
Widget createMenuButton(const char *name, const char *menuName, Widget after, Widget *button);
// An entry of a menu with one callback.
Widget addMenuEntry(Widget menu, const char *name, XtCallbackProc proc, XtPointer client);
void createDrawMenu(Widget menu);
void markDrawEntry(Widget w, XtPointer client, XtPointer call);
// Select All: switches to Pick and selects every object.
void selectAllCommand(Widget w, XtPointer client, XtPointer call);
// Sets the title from appTitle and fileName, with "~" for the home directory.
void updateTitle();
// Gives the window the canvas's width, however wide the menu line is.
void keepCanvasWidth(Widget canvas);
// Makes path the current file name; false (and no change) when it is too long.
bool setFileName(const char *path);

#endif
