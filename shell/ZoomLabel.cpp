#include "shell/ZoomLabel.h"

#include <X11/StringDefs.h>
#include <cstdio>
#include <cstring>
#include <string>

#include "objects/Scale.h"

static std::string zoomLabelFormat;

// Skips at most three digits: a wider field is no label.
static bool skipDigits(const char *&p) {
    int n = 0;
    while (*p >= '0' && *p <= '9') p++, n++;
    return n <= 3;
}

// True when format holds at most one conversion, an int one without a
// length modifier or '*', besides any number of "%%".
static bool safeIntFormat(const char *format) {
    int conversions = 0;
    for (const char *p = format; *p; p++) {
        if (*p != '%') continue;
        if (*++p == '%') continue;
        bool alternate = false;  // '#' is defined for o, x and X only
        for (; *p && strchr("-+ #0'", *p); p++) alternate |= *p == '#';
        if (!skipDigits(p)) return false;
        if (*p == '.' && !skipDigits(++p)) return false;
        if (!*p || !strchr(alternate ? "oxX" : "diouxX", *p)) return false;
        if (++conversions > 1) return false;
    }
    return true;
}

void formatZoomLabel(const char *format, int percent, char *out, size_t size) {
    if (!format || !safeIntFormat(format)) format = "Zoom %d%%";
    if (snprintf(out, size, format, percent) < 0) snprintf(out, size, "Zoom %d%%", percent);
}

void keepZoomLabelFormat(Widget button) {
    String label = nullptr;
    XtVaGetValues(button, XtNlabel, &label, nullptr);
    zoomLabelFormat = label ? label : "";
}

void setZoomLabel(Widget button) {
    char label[256];
    formatZoomLabel(zoomLabelFormat.c_str(), static_cast<int>(zoomFactor * 100 + 0.5), label, sizeof label);
    XtVaSetValues(button, XtNlabel, label, nullptr);
}
