#include "shell/LoadPicture.h"

#include <cstdio>
#include <string>

#include "canvas/Shift.h"
#include "canvas/View.h"
#include "objects/ObjRecord.h"
#include "objects/Scale.h"
#include "picfile/Reader.h"
#include "picfile/Units.h"

bool loadPicture(const char *path, MessageSink sink) {
    const char *reason = "";
    FILE *file = openPictureFile(path, &reason);
    if (!file) {
        sink(("Can't open file " + std::string(path) + ": " + reason).c_str());
        return false;
    }
    resetPicture();  // the default \unitlength holds unless the file sets one
    Picture picture = readPicture(file);
    fclose(file);
    if (picture.readFailed) sink("Can't read file");
    if (!picture.objects) {
        if (!picture.readFailed) sink("Nothing was loaded");
        resetPicture();
        return true;
    }
    objectList = picture.objects;
    rescaleAll(zoomFactor * pixelsPerUnit);
    originY = 0;
    shiftView(shiftCentre);
    modified = false;
    return true;
}
