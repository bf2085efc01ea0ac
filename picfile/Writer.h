// Saving the drawing as LaTeX picture source.
#ifndef VEXILO_WRITER_H
#define VEXILO_WRITER_H

#include <cstdio>
#include "objects/ObjRecord.h"
#include "picfile/Sink.h"

// Writes the drawing to path, keeping the old file as path + suffix.
// The old file is replaced only once the new one is completely on disk;
// on any failure the old file and backup stay as they were, the sink is
// told, `modified` keeps its value and false is returned.
// A path that is a symbolic link is written through: the link's target
// gets the picture and its old contents go to target + suffix.
bool savePicture(const char *path, MessageSink sink, const char *suffix);

// A picture edited inside a file of other material: the file around the
// picture environment is written back as it was, and the environment
// (and the \unitlength setting next to it) replaced. Coordinates are
// written in the file's own frame, from its origin.
// A file that held no picture gets the picture in the editor's own form
// between before and after (added), every byte of it kept.
#include <string>
struct InPlace {
    bool added;           // the picture is added between before and after
    std::string before;   // the file up to the picture (or its \unitlength setting)
    bool unitNext;        // the file set \unitlength next to the picture: written anew
    std::string unitSetting;  // that setting as the file wrote it, written while the unit is
    float unitValue;          // still this one (unitValue, unitIndex)
    int unitIndex;
    std::string between;  // the file between that setting and \begin{picture}
    std::string header;   // \begin{picture}(w,h)(x,y) as the file wrote it
    std::string after;    // the file after \end{picture}
    float originX, originY;  // the file's origin in the records, picture units (y downwards)
};
// Set while the drawing comes from such a file; null: the editor's own form.
extern InPlace *inPlace;
// Writes the drawing as savePicture does, to an open stream: no backup,
// no rename, `modified` untouched. False for an empty drawing or when a
// write failed.
bool writeDrawing(FILE *file);
// Writes one record's line; the record is in picture units (y downwards),
// xmin and ymax are the drawing's reference values in picture units.
void ObjSave(const ObjRecord *rec, FILE *file, float xmin, float ymax);

// The direction pair and length that \line and \vector draw a segment
// from (x1, y1) to (x2, y2) with, picture coordinates (y upwards).
struct Slope {
    int a, b;      // direction (a, b)
    float length;  // horizontal extent, or vertical for a vertical pair
};
Slope findSlope(float x1, float y1, float x2, float y2);
// The pair and length written for that segment: findSlope's, with the
// length in hundredths, and a pair that the search finds again on the
// line a reader builds from them.
Slope writtenSlope(float x1, float y1, float x2, float y2);

// Appends v with the given number of decimals (at most 9) to out, as the
// C locale's "%.*f" writes it, and returns the end. out must have room
// for 330 characters.
char *formatFixed(char *out, double v, int decimals);

#endif
