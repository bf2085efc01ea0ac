// The application resources and the command-line options.
#ifndef VEXILO_RESOURCES_H
#define VEXILO_RESOURCES_H

#include <X11/Intrinsic.h>

struct AppResources {
    XFontStruct *font;          // text of picture objects
    XFontStruct *rulerFont;     // ruler labels
    Pixel foreground;           // drawing colour on the canvas
    float initOffset;           // initial shift step, picture units
    float initGridDistance;     // initial grid distance, picture units
    String initZoomFactor;      // initial zoom in percent
    String defaultUnitLength;   // the \unitlength of a new picture
    Boolean initGrid;
    Boolean initSnapGrid;
    Boolean initRuler;
    Boolean initCross;
    Boolean initUnlimitedSlopes;
    Boolean initUnlimitedCircles;
    Boolean initUnlimitedLengths;
    String backupSuffix;        // appended to a file's name for its backup
};

extern AppResources appResources;
extern XtResource appResourceList[];
extern const Cardinal appResourceCount;
extern XrmOptionDescRec optionTable[];
extern const Cardinal optionCount;
extern String fallbackResources[];  // the lines of the app-defaults file

#endif
