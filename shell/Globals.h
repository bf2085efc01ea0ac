// The program's widgets and shell state that more than one file addresses.
#ifndef VEXILO_GLOBALS_H
#define VEXILO_GLOBALS_H

#include <X11/Intrinsic.h>

extern XtAppContext appContext;  // the one application context
extern Widget topLevel;          // the application shell, class Vexilo
extern Widget topForm;           // vertical Paned: menu line over canvas; parent of the popups
extern Widget menuLine;          // Form with the menu buttons and the coordinate label
extern Widget coord;             // label showing the pointer's picture coordinates

extern Widget optionsButton;     // menu-line buttons that pop up the three settings dialogs
extern Widget shiftButton;
extern Widget zoomButton;
extern Widget optionsShell;      // settings dialog
extern Widget shiftShell;        // shift dialog
extern Widget zoomShell;         // zoom dialog
extern Widget valueField;        // grid distance field ("value"), edits gridText
extern Widget offsetField;       // shift step field ("offset"), edits offsetText
extern Widget factorField;       // zoom field ("factor"), edits zoomText

// The seven setting toggles of the settings dialog, by widget name.
extern Widget rasterOnToggle;    // "rasterOn": grid
extern Widget snapOnToggle;      // "snapOn": snapping
extern Widget slopeToggle;       // "slope": unlimited slopes
extern Widget diametersToggle;   // "diameters": unlimited diameters
extern Widget linealToggle;      // "lineal": ruler
extern Widget crossToggle;       // "cross": cross-hair
extern Widget llineToggle;       // "llline": no minimum length
extern Widget thickLinesToggle;  // "thickLines": new objects under \thicklines
extern Widget thicknessField;    // "thickness": \linethickness of new objects, edits thicknessText

extern Widget confirmer;         // "Discard changes?" popup
extern Widget confirmButton;     // its Confirm button
extern Widget message;           // message popup
extern Widget messageDialog;     // its Dialog, whose label shows the message
extern Widget fileShell;         // the file selector window
extern Widget undoEntry;         // the edit menu's Undo and Redo
extern Widget redoEntry;

// Room for any path the system accepts.
const int fileNameSize = 4096;
extern char fileName[fileNameSize];  // the current picture's name, "No name" when it has none
extern char appTitle[64];            // "Vexilo 2.4.1", the first half of every title
extern const char noName[];          // "No name"

#endif
