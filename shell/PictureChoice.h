// Which picture of a file to load, when the file holds several: a small
// window listing them, "Picture N of M", with the line each begins on.
#ifndef VEXILO_PICTURECHOICE_H
#define VEXILO_PICTURECHOICE_H

#include <X11/Intrinsic.h>
#include <string>
#include <vector>

#include "picfile/Reader.h"

extern Widget pictureShell;  // the window of the choice
extern Widget pictureList;   // its list, one row per picture

void createPictureChoice(Widget parent);
// Pops the choice up for the file at path, the first picture that holds
// objects highlighted. Load (a double click, Return) loads the
// highlighted picture; Cancel (Escape) leaves the drawing as it is.
void choosePicture(const std::string &path, const std::vector<PictureEntry> &pictures);

#endif
