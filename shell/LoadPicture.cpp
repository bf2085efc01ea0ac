#include "shell/LoadPicture.h"

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
int pictureIndex = 0, pictureCount = 0;
std::string inPlaceProblem;
static InPlace place;

void forgetPictureFile() {
    inPlace = nullptr;
    inPlaceProblem.clear();
    pictureIndex = pictureCount = 0;
    partsNotKept = 0;
}

// The file around the picture, kept for saving in place.
static void keepSurroundings(const Picture &p) {
    forgetPictureFile();
    pictureIndex = p.index;
    pictureCount = p.count;
    inPlaceProblem = p.problem;
    if (surroundingsOf(p, &place)) inPlace = &place;
}

// The file's origin is the picture origin of the view; it moves with
// every shift, so it is taken again before each save.
static void followViewOrigin() {
    place.originX = originX / pixelsPerUnit;
    place.originY = originY / pixelsPerUnit;
}

bool saveDrawing(const char *path, MessageSink sink, const char *suffix) {
    if (!inPlaceProblem.empty()) {
        sink((inPlaceProblem + ": not saved").c_str());
        return false;
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
    if (!picture.objects) {
        if (!picture.readFailed) sink("Nothing was loaded");
        resetPicture();
        forgetPictureFile();
        return true;
    }
    keepSurroundings(picture);
    partsNotKept = picture.partsLost;
    if (!report.empty() && !picture.readFailed) sink(report.c_str());
    objectList = picture.objects;
    rescaleAll(zoomFactor * pixelsPerUnit);
    originY = 0;
    shiftView(shiftCentre);
    followViewOrigin();
    modified = false;
    return true;
}
