// The zoom button's label: a format from the resources filled with the
// zoom in percent.
#ifndef VEXILO_ZOOMLABEL_H
#define VEXILO_ZOOMLABEL_H

#include <X11/Intrinsic.h>

// Keeps a copy of the button's label as the format.
void keepZoomLabelFormat(Widget button);
// Sets the button's label to the format filled with the integer part of
// zoomFactor * 100 + 0.5.
void setZoomLabel(Widget button);
// Formats percent with format when it is safe to use as one (at most one
// integer conversion, no other); otherwise as "Zoom %d%%" would.
void formatZoomLabel(const char *format, int percent, char *out, size_t size);

#endif
