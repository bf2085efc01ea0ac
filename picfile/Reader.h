// Reading LaTeX picture source into records.
#ifndef VEXILO_READER_H
#define VEXILO_READER_H

#include <cstdio>
#include <string>
#include <vector>

#include "objects/ObjRecord.h"

// What a picture file gives: its objects, in file order, in picture units
// with y downwards (y negated), not yet placed on any canvas.
struct Picture {
    ObjRecord *objects = nullptr;  // owned by the caller once read
    bool readFailed = false;       // reading the file failed part way
    int partsLost = 0;             // parts of the picture neither modelled nor kept
    std::vector<std::string> warnings;  // "line N: text", in the order given
};

// Opens a regular file for reading; anything else (a directory, a device,
// a pipe) is refused with nullptr, and *reason (when reason is given) says
// why. Opening never waits on a pipe.
FILE *openPictureFile(const char *path, const char **reason = nullptr);

// Reads the picture of an open file, up to its \end{picture}. A
// \unitlength the file sets becomes current (unitValue, unitIndex and the
// scale of setUnitScale); otherwise the current one holds. Warnings about
// the content go to the standard error stream with their line numbers.
Picture readPicture(FILE *file);

#endif
