// Loading a picture file into the drawing and bringing it into view.
#ifndef VEXILO_LOADPICTURE_H
#define VEXILO_LOADPICTURE_H

#include "picfile/Sink.h"

// Replaces the drawing with the picture of the file at path, centred on
// the canvas. False only when the file cannot be opened; true otherwise,
// also when nothing could be loaded. A file that cannot be opened leaves
// the drawing as it was.
bool loadPicture(const char *path, MessageSink sink);

#endif
