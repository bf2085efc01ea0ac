// Support for the file selector widget tests: an application on the
// private X server, a temporary directory tree, and running as an
// ordinary user where a test needs permissions to count.
#ifndef VEXILO_TEST_SELECTOR_SUPPORT_H
#define VEXILO_TEST_SELECTOR_SUPPORT_H

// gtest first: Xlib defines None as a macro.
#include <gtest/gtest.h>

#include <X11/Intrinsic.h>
#include <X11/Shell.h>
#include <X11/StringDefs.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <X11/Xaw/AsciiText.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "harness/XServer.h"

namespace selector_test {

// Fixed fonts keep pixel arithmetic exact.
inline String fallbackResources[] = {
    "*font: 6x13",
    "*text.font: 6x13",
    nullptr,
};

// An application context and shell on the private server.
struct App {
    XtAppContext app = nullptr;
    Widget top = nullptr;

    explicit App(String *fallback = fallbackResources) {
        harness::privateDisplay();
        static int argc = 1;
        static char name[] = "selector-test";
        static char *argv[] = {name, nullptr};
        top = XtOpenApplication(&app, "SelectorTest", nullptr, 0, &argc, argv, fallback,
                                applicationShellWidgetClass, nullptr, 0);
    }
    Display *display() const { return XtDisplay(top); }
    void pump() const { harness::pump(app); }
};

// The superuser reads every directory; tests of unreadable directories
// run as "nobody" once the display is open. Real and effective user both
// change, since access() tests with the real one; the saved one stays
// root, so root comes back before the harness stops the server at exit.
inline void restoreRoot() {
    if (setresuid(0, 0, 0) != 0) perror("setresuid");
}
inline void runAsOrdinaryUser() {
    if (geteuid() != 0) return;
    if (setresuid(65534, 65534, 0) != 0) {
        perror("setresuid");
        return;
    }
    atexit(restoreRoot);
}

// A directory under /tmp, removed with everything in it at the end.
class TempTree {
public:
    TempTree() {
        char pattern[] = "/tmp/vexilo-selector-XXXXXX";
        const char *made = mkdtemp(pattern);
        root_ = made ? made : "";
    }
    ~TempTree() {
        // Give back any permission a test took away, then remove.
        nftw(root_.c_str(), [](const char *p, const struct stat *, int type, struct FTW *) {
            if (type == FTW_D || type == FTW_DNR) chmod(p, 0755);
            return 0;
        }, 16, FTW_PHYS);
        nftw(root_.c_str(), [](const char *p, const struct stat *, int, struct FTW *) {
            return ::remove(p);
        }, 16, FTW_DEPTH | FTW_PHYS);
    }
    TempTree(const TempTree &) = delete;
    TempTree &operator=(const TempTree &) = delete;

    // The root, ending in '/'.
    std::string dir() const { return root_ + "/"; }
    std::string path(const std::string &name) const { return root_ + "/" + name; }
    void file(const std::string &name) const {
        FILE *f = fopen(path(name).c_str(), "w");
        if (f) fclose(f);
    }
    void directory(const std::string &name, mode_t mode = 0755) const {
        mkdir(path(name).c_str(), 0755);
        chmod(path(name).c_str(), mode);
    }

private:
    std::string root_;
};

// The text of an AsciiText.
inline std::string textOf(Widget text) {
    String s = nullptr;
    XtVaGetValues(text, XtNstring, &s, nullptr);
    return s ? s : "";
}

inline void setText(Widget text, const char *s) {
    XtVaSetValues(text, XtNstring, s, nullptr);
    XawTextSetInsertionPoint(text, static_cast<XawTextPosition>(strlen(s)));
}

// Sends keys and handles their events without ever letting the loop go
// idle, so no work procedure runs in between.
inline void keysWithoutIdle(XtAppContext app, Display *d, KeySym sym, int count) {
    KeyCode code = XKeysymToKeycode(d, sym);
    for (int i = 0; i < count; i++) {
        XTestFakeKeyEvent(d, code, True, CurrentTime);
        XTestFakeKeyEvent(d, code, False, CurrentTime);
    }
    XSync(d, False);
    while (XPending(d)) {
        XEvent event;
        XNextEvent(d, &event);
        XtDispatchEvent(&event);
    }
}

using harness::BellCounter;

}  // namespace selector_test

#endif
