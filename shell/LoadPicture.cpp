#include "shell/LoadPicture.h"

#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "canvas/Shift.h"
#include "canvas/View.h"
#include "objects/ObjRecord.h"
#include "objects/Scale.h"
#include "picfile/Reader.h"
#include "picfile/Units.h"
#include "picfile/Writer.h"

int partsNotKept = 0;
// The file the drawing came from, and whether its content may be saved
// to another file in the editor's own form while it cannot go back into
// its own.
static std::string pictureFile;
static bool soundAlone = true;
int pictureIndex = 0, pictureCount = 0;
std::string inPlaceProblem;
static InPlace place;

void forgetPictureFile() {
    inPlace = nullptr;
    inPlaceProblem.clear();
    pictureIndex = pictureCount = 0;
    partsNotKept = 0;
    pictureFile.clear();
    soundAlone = true;
}

// The file around the picture, kept for saving in place.
static void keepSurroundings(const Picture &p, const char *path) {
    forgetPictureFile();
    pictureFile = path;
    partsNotKept = p.partsLost;
    pictureIndex = p.index;
    pictureCount = p.count;
    inPlaceProblem = p.problem;
    soundAlone = p.soundAlone;
    if (surroundingsOf(p, &place)) inPlace = &place;
}

// The file's origin is the picture origin of the view; it moves with
// every shift, so it is taken again before each save.
static void followViewOrigin() {
    place.originX = originX / pixelsPerUnit;
    place.originY = originY / pixelsPerUnit;
}

// True when both names lead to one existing file.
static bool sameFile(const std::string &a, const std::string &b) {
    struct stat sa, sb;
    return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

bool saveDrawing(const char *path, MessageSink sink, const char *suffix) {
    if (!inPlaceProblem.empty()) {
        // It cannot go back into its file; another file gets it in the
        // editor's own form, and the drawing is that file's from then on.
        if (!soundAlone || sameFile(path, pictureFile)) {
            sink((inPlaceProblem + ": not saved").c_str());
            return false;
        }
        if (!savePicture(path, sink, suffix)) return false;
        forgetPictureFile();
        return true;
    }
    followViewOrigin();
    return savePicture(path, sink, suffix);
}

// Warnings shown in the window, the rest go to the standard error stream.
const size_t warningsShown = 5;

bool loadPicture(const char *path, MessageSink sink, int which) {
    const char *reason = "";
    FILE *file = openPictureFile(path, &reason);
    if (!file) {
        sink(("Can't open file " + std::string(path) + ": " + reason).c_str());
        return false;
    }
    resetPicture();  // the default \unitlength holds unless the file sets one
    Picture picture = readPicture(file, which);
    fclose(file);
    std::string report = warningSummary(picture.warnings, warningsShown);
    if (picture.readFailed) sink("Can't read file");
    // A file read only in part cannot be written back around the picture.
    if (picture.readFailed) picture.problem = "The file could not be read whole";
    if (!picture.objects) {
        if (!picture.readFailed) sink("Nothing was loaded");
        // The file's own text is kept all the same: a picture drawn now
        // goes into the empty picture, or is added to a file without
        // one, in the \unitlength the file gives there.
        float value = unitValue;
        int index = unitIndex;
        keepSurroundings(picture, path);
        resetPicture();
        if (inPlace && !inPlace->added) {
            unitValue = value, unitIndex = index;
            setUnitScale(unitValue * unitTable[unitIndex].points);
        }
        followViewOrigin();
        return true;
    }
    keepSurroundings(picture, path);
    if (!report.empty() && !picture.readFailed) sink(report.c_str());
    objectList = picture.objects;
    rescaleAll(zoomFactor * pixelsPerUnit);
    originY = 0;
    shiftView(shiftCentre);
    followViewOrigin();
    modified = false;
    return true;
}
