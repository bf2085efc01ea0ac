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

    // Where the picture lies in its file, for saving it in place.
    std::string text;              // the whole file
    int index = 0, count = 0;      // which picture (from 1) of how many; 0 of 0: none
    size_t begin = 0, end = 0;     // its \begin{picture} and the end of its \end{picture}
    size_t headerEnd = 0;          // the end of its \begin{picture}(w,h)(x,y)
    size_t unitBegin = 0, unitEnd = 0;  // a \unitlength setting just before it; empty: none
    bool ownForm = false;          // the file is a picture as the editor writes it
    std::string problem;           // why the picture cannot be replaced in its file; empty: it can
    bool soundAlone = true;        // its content can be written in a file of its own
};

// A picture environment of a file's text: from its \begin{picture} to the
// end of its \end{picture} (the end of the text when it has none).
struct PictureSpan {
    size_t begin, end;
    bool closed;
};
std::vector<PictureSpan> findPictures(const std::string &text);

// What a save in place keeps of the picture's file; false when the
// picture is to be written in the editor's own form (a file in that form,
// or a blank one) or cannot be replaced (p.problem). A file without a
// picture is kept whole, the picture added before its \end{document} or
// at its end. The origin is left for the caller.
struct InPlace;
bool surroundingsOf(const Picture &p, InPlace *place);

// Opens a regular file for reading; anything else (a directory, a device,
// a pipe) is refused with nullptr, and *reason (when reason is given) says
// why. Opening never waits on a pipe.
FILE *openPictureFile(const char *path, const char **reason = nullptr);

// Reads a picture of an open file, up to its \end{picture}: picture number
// `which` (from 1), or with 0 the first that holds objects. A
// \unitlength the file sets becomes current (unitValue, unitIndex and the
// scale of setUnitScale); otherwise the current one holds. Warnings about
// the content go to the standard error stream with their line numbers.
Picture readPicture(FILE *file, int which = 0);
// The same from the file's text.
Picture readPictureText(const std::string &text, int which = 0);

// Appends the rest of an open file to *text; false when reading failed.
bool readText(FILE *file, std::string *text);

// The pictures of a file's text, in file order, for choosing one: the
// line each begins on and the objects it holds. Nothing is told and the
// current \unitlength stays.
struct PictureEntry {
    int line;
    int objects;
};
std::vector<PictureEntry> listPictures(const std::string &text);

// What a load tells the user in the window: the number of warnings and
// the first `shown` of them with their lines; empty without warnings.
std::string warningSummary(const std::vector<std::string> &warnings, size_t shown);

#endif
