// The editor started inside the test process on the private X server,
// driven with real input.
#ifndef VEXILO_TEST_EDITOR_H
#define VEXILO_TEST_EDITOR_H

#include <X11/Intrinsic.h>
#include <initializer_list>
#include <string>
#include <vector>

#include "harness/XServer.h"

namespace harness {

// Runs the whole start-up short of the main loop, with these arguments
// after the program name, and waits until the window is up and idle.
void startEditor(const std::vector<std::string> &args = {});
// Processes everything pending in the editor.
void idle();

// A widget below the application shell, by XtNameToWidget path
// (e.g. "topForm.menuLine.zoom", "*confirmer").
Widget find(const char *path);

// Chooses an entry of a menu of the menu line, with the pointer:
// chooseMenu("draw", "line").
void chooseMenu(const char *button, const char *entry);
// Pointer actions on the canvas at canvas coordinates.
void canvasMove(int x, int y);
void canvasClick(int x, int y, int button = 1);
// Clicks a button widget (Command, Toggle) in its middle.
void pressButton(Widget w);

std::string windowTitle();
std::string labelOf(Widget w);
// The canvas's pixels; caller destroys with XDestroyImage.
XImage *canvasImage();
unsigned long canvasBackground();
unsigned long canvasForeground();
// Pixels of the canvas image that are not background.
int inkCount(XImage *image);
// True when the canvas shows exactly what a full redraw (Refresh) shows:
// no outline, mark or object left behind. The redraw stays.
bool noResidue();

// Replaces the text of a text field by typing: the pointer goes over the
// field (keyboard focus follows the pointer), End, a BackSpace for every
// character it holds, then the text.
void typeInto(Widget field, const char *text);

// Draws an object of a draw mode by clicking its points.
void drawObject(const char *mode, std::initializer_list<XPoint> points);
// Fills in the open text placement dialog and confirms it with Return.
void placeText(const char *text);
// Names a file in the open file selector and confirms it with Return.
void nominateFile(const std::string &path);

// Pick mode's grips: the canvas point grip i is centred on, and a drag of
// grip i by (dx, dy) from its centre with a button.
XPoint gripAt(int i);
void dragGrip(int i, int dx, int dy, int button);
// True while any grip is shown.
bool anyGripMapped();

}  // namespace harness

#endif
