// Loading a picture file into the drawing and bringing it into view.
#ifndef VEXILO_LOADPICTURE_H
#define VEXILO_LOADPICTURE_H

#include <string>

#include "picfile/Sink.h"

// Replaces the drawing with the picture of the file at path, centred on
// the canvas. False only when the file cannot be opened; true otherwise,
// also when nothing could be loaded. A file that cannot be opened leaves
// the drawing as it was.
// Warnings of the file are shown through the sink too: their number and
// the first ones.
// which: the picture's number in the file (from 1); 0 takes the first
// that holds objects.
bool loadPicture(const char *path, MessageSink sink, int which = 0);

// Which picture of how many the file held; 0 of 0 for a new drawing.
extern int pictureIndex, pictureCount;
// Why the loaded picture cannot be saved into its file; empty when it can.
extern std::string inPlaceProblem;
// Forgets the file the drawing came from: a new drawing.
void forgetPictureFile();
// Saves the drawing to path: into the file it came from, in place, when
// it came from a file of other material.
bool saveDrawing(const char *path, MessageSink sink, const char *suffix);

// Parts of the loaded file that were neither modelled nor kept: a save
// would lose them. Set by a load, cleared by New and by a save.
extern int partsNotKept;

#endif
