// The "LaTeX" toggle of the menu line: while it is on, LaTeX's rendering
// of the drawing lies under the objects and follows every change. The
// tools run in a child process watched by the toolkit, one run at a time;
// a change made during a run starts the next one when it ends.
#ifndef VEXILO_LATEXVIEW_H
#define VEXILO_LATEXVIEW_H

#include <X11/Intrinsic.h>

// The toggle, placed after the given menu-line widget.
Widget createLatexToggle(Widget after);
// Reads the latexColor resource, installs the toggle's accelerators on
// the canvas and the menu line, and starts watching for changes. After
// the canvas and its actions are set up.
void initLatexView(XtAppContext app);

// True while a run is going.
bool latexRunning();
// Compares the drawing with what the overlay shows and starts a run when
// they differ (the program does this itself after every action).
void latexCheck();

#endif
