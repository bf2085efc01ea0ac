// A private X server (Xvfb) for the test process, and the means to drive
// a toolkit application on it: real input through XTest, pumping events
// until the server and the toolkit are idle, reading pixels back.
#ifndef VEXILO_TEST_XSERVER_H
#define VEXILO_TEST_XSERVER_H

#include <X11/Intrinsic.h>
#include <string>

namespace harness {

// A mistake in driving the program (an unknown key or menu entry): fails
// the running test. Tests and benchmarks each link their own.
void harnessFailure(const std::string &what);

// Starts Xvfb once per process (1280 x 1024, 24 bits) and points DISPLAY
// at it. Later calls return the same name. The server stops when the
// process that started it exits.
const char *privateDisplay();

// Processes events, timers and work procedures until nothing is pending
// after a round trip to the server.
void pump(XtAppContext app);

// Pointer and keys, at window coordinates of a widget (its window must
// be mapped). Each call is followed by a pump.
void moveTo(XtAppContext app, Widget w, int x, int y);
void press(XtAppContext app, int button);
void release(XtAppContext app, int button);
void click(XtAppContext app, Widget w, int x, int y, int button = 1);
void drag(XtAppContext app, Widget w, int x0, int y0, int x1, int y1, int button = 1);
// An unknown key name, or a character no key gives, fails the test.
void key(XtAppContext app, const char *keysymName);   // e.g. "Return", "Escape", "a"
void typeText(XtAppContext app, const char *text);    // printable ASCII
// A key with Control held: controlKey(app, "z"); "Z" adds Shift.
void controlKey(XtAppContext app, const char *keysymName);
// Presses (down) or releases a key and leaves it so: holdKey(app, "Shift_L", true).
void holdKey(XtAppContext app, const char *keysymName, bool down);

// True while a shell's window is mapped.
bool shellUp(Widget shell);

// Counts the bells the server rings, seen through a connection of its own.
class BellCounter {
public:
    BellCounter();
    ~BellCounter();
    BellCounter(const BellCounter &) = delete;
    BellCounter &operator=(const BellCounter &) = delete;

    bool ready() const { return display_ != nullptr; }
    // Bells since the last call; the volume of the last one in percent.
    int rung(int *percent = nullptr);

private:
    Display *display_ = nullptr;
    int event_ = 0;
};

// Reads back a widget's window (XGetImage, ZPixmap). Caller owns the image.
XImage *grab(Widget w);
// True when two images of the same size hold the same pixels.
bool sameImage(XImage *a, XImage *b);
// Pixels of an image that differ from the widget's background.
int countPixels(XImage *image, unsigned long pixel);

// Resource readers.
std::string stringResource(Widget w, const char *name);
int intResource(Widget w, const char *name);
bool booleanResource(Widget w, const char *name);

}  // namespace harness

#endif
