// Loading LaTeX picture source into the drawing.
#ifndef VEXILO_READER_H
#define VEXILO_READER_H

#include "picfile/Sink.h"

// False only when the file cannot be opened; true otherwise, also when
// nothing could be loaded.
bool loadPicture(const char *path, MessageSink sink);

#endif
