#include "harness/XServer.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/XKBlib.h>
#include <X11/keysym.h>
#include <X11/StringDefs.h>
#include <csignal>
#include <fcntl.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace harness {

namespace {

pid_t serverPid = 0;
pid_t ownerPid = 0;
std::string displayName;

void stopServer() {
    // Death tests fork: only the process that started the server stops it.
    if (serverPid > 0 && getpid() == ownerPid) {
        kill(serverPid, SIGTERM);
        waitpid(serverPid, nullptr, 0);
        serverPid = 0;
    }
}

Display *displayOf(Widget w) { return XtDisplay(w); }

void rootPosition(Widget w, int x, int y, int *rx, int *ry) {
    Window child;
    Display *d = XtDisplay(w);
    XTranslateCoordinates(d, XtWindow(w), DefaultRootWindow(d), x, y, rx, ry, &child);
}

void timerFired(XtPointer flag, XtIntervalId *) { *static_cast<bool *>(flag) = true; }

Display *appDisplay(XtAppContext app) {
    Display **list;
    Cardinal n;
    XtGetDisplays(app, &list, &n);
    Display *d = n > 0 ? list[0] : nullptr;
    XtFree(reinterpret_cast<char *>(list));
    return d;
}

}  // namespace

const char *privateDisplay() {
    if (serverPid > 0) return displayName.c_str();
    int fds[2];
    if (pipe(fds) != 0) {
        perror("pipe");
        abort();
    }
    pid_t parent = getpid();
    pid_t pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent) _exit(1);
        close(fds[0]);
        char fd[16];
        snprintf(fd, sizeof fd, "%d", fds[1]);
        int devnull = open("/dev/null", O_WRONLY);
        if (devnull >= 0) {
            dup2(devnull, 1);
            dup2(devnull, 2);
        }
        execlp("Xvfb", "Xvfb", "-displayfd", fd, "-screen", "0", "1280x1024x24", "-nolisten",
               "tcp", "-noreset", (char *)nullptr);
        _exit(127);
    }
    close(fds[1]);
    char buf[32] = {0};
    size_t got = 0;
    while (got < sizeof buf - 1) {
        ssize_t n = read(fds[0], buf + got, 1);
        if (n <= 0 || buf[got] == '\n') break;
        got++;
    }
    close(fds[0]);
    buf[got] = 0;
    if (got == 0) {
        fprintf(stderr, "harness: Xvfb did not start\n");
        abort();
    }
    serverPid = pid;
    ownerPid = getpid();
    displayName = std::string(":") + buf;
    setenv("DISPLAY", displayName.c_str(), 1);
    atexit(stopServer);
    return displayName.c_str();
}

void pump(XtAppContext app) {
    Display *d = appDisplay(app);
    for (int quiet = 0; quiet < 2;) {
        if (d) XSync(d, False);
        bool busy = false;
        while (XtAppPending(app)) {
            XtAppProcessEvent(app, XtIMAll);
            busy = true;
        }
        // A short timer lets the toolkit run its work procedures, which it
        // calls only while it waits with nothing else to do.
        bool fired = false;
        XtAppAddTimeOut(app, 5, timerFired, &fired);
        while (!fired) XtAppProcessEvent(app, XtIMAll);
        quiet = busy ? 0 : quiet + 1;
    }
}

void moveTo(XtAppContext app, Widget w, int x, int y) {
    int rx, ry;
    rootPosition(w, x, y, &rx, &ry);
    Display *d = displayOf(w);
    XTestFakeMotionEvent(d, DefaultScreen(d), rx, ry, CurrentTime);
    pump(app);
}

void press(XtAppContext app, int button) {
    Display *d = appDisplay(app);
    XTestFakeButtonEvent(d, button, True, CurrentTime);
    pump(app);
}

void release(XtAppContext app, int button) {
    Display *d = appDisplay(app);
    XTestFakeButtonEvent(d, button, False, CurrentTime);
    pump(app);
}

void click(XtAppContext app, Widget w, int x, int y, int button) {
    moveTo(app, w, x, y);
    press(app, button);
    release(app, button);
}

void drag(XtAppContext app, Widget w, int x0, int y0, int x1, int y1, int button) {
    moveTo(app, w, x0, y0);
    press(app, button);
    const int steps = 4;
    for (int i = 1; i <= steps; i++)
        moveTo(app, w, x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps);
    release(app, button);
}

static void sendKeysym(XtAppContext app, KeySym sym) {
    Display *d = appDisplay(app);
    KeyCode code = XKeysymToKeycode(d, sym);
    if (code == 0) {
        harnessFailure("no key gives keysym " + std::to_string(sym));
        return;
    }
    // Shift when the keysym sits in the second column of its key.
    bool shift = XkbKeycodeToKeysym(d, code, 0, 0) != sym && XkbKeycodeToKeysym(d, code, 0, 1) == sym;
    KeyCode shiftCode = XKeysymToKeycode(d, XK_Shift_L);
    if (shift) XTestFakeKeyEvent(d, shiftCode, True, CurrentTime);
    XTestFakeKeyEvent(d, code, True, CurrentTime);
    XTestFakeKeyEvent(d, code, False, CurrentTime);
    if (shift) XTestFakeKeyEvent(d, shiftCode, False, CurrentTime);
    pump(app);
}

void key(XtAppContext app, const char *keysymName) {
    KeySym sym = XStringToKeysym(keysymName);
    if (sym == NoSymbol) {
        harnessFailure(std::string("unknown keysym ") + keysymName);
        return;
    }
    sendKeysym(app, sym);
}

void holdKey(XtAppContext app, const char *keysymName, bool down) {
    Display *d = appDisplay(app);
    KeyCode code = XKeysymToKeycode(d, XStringToKeysym(keysymName));
    if (code == 0) {
        harnessFailure(std::string("no key gives ") + keysymName);
        return;
    }
    XTestFakeKeyEvent(d, code, down, CurrentTime);
    pump(app);
}

void controlKey(XtAppContext app, const char *keysymName) {
    holdKey(app, "Control_L", true);
    key(app, keysymName);
    holdKey(app, "Control_L", false);
}

void typeText(XtAppContext app, const char *text) {
    for (const char *p = text; *p; p++) sendKeysym(app, static_cast<unsigned char>(*p));
}

bool shellUp(Widget shell) {
    XWindowAttributes a;
    return XtIsRealized(shell) && XGetWindowAttributes(XtDisplay(shell), XtWindow(shell), &a) &&
           a.map_state == IsViewable;
}

BellCounter::BellCounter() {
    int major = XkbMajorVersion, minor = XkbMinorVersion, error = 0, reason = 0;
    display_ = XkbOpenDisplay(privateDisplay(), &event_, &error, &major, &minor, &reason);
    if (!display_) {
        harnessFailure("cannot watch the bell (Xkb reason " + std::to_string(reason) + ")");
        return;
    }
    XkbSelectEvents(display_, XkbUseCoreKbd, XkbBellNotifyMask, XkbBellNotifyMask);
    XSync(display_, False);
}

BellCounter::~BellCounter() {
    if (display_) XCloseDisplay(display_);
}

int BellCounter::rung(int *percent) {
    if (!display_) return -1;
    int n = 0;
    XSync(display_, False);
    while (XPending(display_)) {
        XEvent event;
        XNextEvent(display_, &event);
        auto *xkb = reinterpret_cast<XkbEvent *>(&event);
        if (event.type == event_ && xkb->any.xkb_type == XkbBellNotify) {
            n++;
            if (percent) *percent = xkb->bell.percent;
        }
    }
    return n;
}

XImage *grab(Widget w) {
    Dimension width = 0, height = 0;
    XtVaGetValues(w, XtNwidth, &width, XtNheight, &height, nullptr);
    return XGetImage(XtDisplay(w), XtWindow(w), 0, 0, width, height, AllPlanes, ZPixmap);
}

bool sameImage(XImage *a, XImage *b) {
    if (!a || !b || a->width != b->width || a->height != b->height) return false;
    for (int y = 0; y < a->height; y++)
        for (int x = 0; x < a->width; x++)
            if (XGetPixel(a, x, y) != XGetPixel(b, x, y)) return false;
    return true;
}

int countPixels(XImage *image, unsigned long pixel) {
    int n = 0;
    for (int y = 0; y < image->height; y++)
        for (int x = 0; x < image->width; x++)
            if (XGetPixel(image, x, y) == pixel) n++;
    return n;
}

std::string stringResource(Widget w, const char *name) {
    const char *value = nullptr;
    XtVaGetValues(w, name, &value, nullptr);
    return value ? value : "";
}

int intResource(Widget w, const char *name) {
    int value = 0;
    XtVaGetValues(w, name, &value, nullptr);
    return value;
}

bool booleanResource(Widget w, const char *name) {
    Boolean value = False;
    XtVaGetValues(w, name, &value, nullptr);
    return value;
}

}  // namespace harness
