// Saving the drawing as LaTeX picture source.
#ifndef VEXILO_WRITER_H
#define VEXILO_WRITER_H

#include <cstdio>
#include "objects/ObjRecord.h"
#include "picfile/Sink.h"

// Writes the drawing to path, keeping the old file as path + suffix.
// Returns true when the picture was written.
bool savePicture(const char *path, MessageSink sink, const char *suffix);
// Writes one record's line; xmin and ymax are the drawing's reference
// values in picture units.
void ObjSave(const ObjRecord *rec, FILE *file, float xmin, float ymax);

#endif
