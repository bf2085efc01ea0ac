#include "shell/Resources.h"

#include <X11/StringDefs.h>

AppResources appResources;

#define offset(field) XtOffsetOf(AppResources, field)
XtResource appResourceList[] = {
    {"font", XtCFont, XtRFontStruct, sizeof(XFontStruct *), offset(font), XtRString,
     (XtPointer)XtDefaultFont},
    {"rulerFont", XtCFont, XtRFontStruct, sizeof(XFontStruct *), offset(rulerFont), XtRString,
     (XtPointer)XtDefaultFont},
    {"foreground", XtCForeground, XtRPixel, sizeof(Pixel), offset(foreground), XtRString,
     (XtPointer)XtDefaultForeground},
    {"initOffset", "InitOffset", XtRFloat, sizeof(float), offset(initOffset), XtRString,
     (XtPointer) "10.0"},
    {"initGridDistance", "InitGridDistance", XtRFloat, sizeof(float), offset(initGridDistance),
     XtRString, (XtPointer) "10.0"},
    {"initZoomFactor", "InitZoomFactor", XtRString, sizeof(String), offset(initZoomFactor), XtRString,
     (XtPointer) "100"},
    {"defaultUnitLength", "DefaultUnitLength", XtRString, sizeof(String), offset(defaultUnitLength),
     XtRString, (XtPointer) "1.0pt"},
    // Grid, ruler and cross-hair share the class InitRuler.
    {"initSnapGrid", "InitSnapGrid", XtRBoolean, sizeof(Boolean), offset(initSnapGrid), XtRImmediate,
     (XtPointer)False},
    {"initGrid", "InitRuler", XtRBoolean, sizeof(Boolean), offset(initGrid), XtRImmediate,
     (XtPointer)False},
    {"initRuler", "InitRuler", XtRBoolean, sizeof(Boolean), offset(initRuler), XtRImmediate,
     (XtPointer)False},
    {"initCross", "InitRuler", XtRBoolean, sizeof(Boolean), offset(initCross), XtRImmediate,
     (XtPointer)False},
    {"initUnlimitedSlopes", "InitUnlimited", XtRBoolean, sizeof(Boolean), offset(initUnlimitedSlopes),
     XtRImmediate, (XtPointer)False},
    {"initUnlimitedCircles", "InitUnlimited", XtRBoolean, sizeof(Boolean),
     offset(initUnlimitedCircles), XtRImmediate, (XtPointer)False},
    {"initUnlimitedLengths", "InitUnlimited", XtRBoolean, sizeof(Boolean),
     offset(initUnlimitedLengths), XtRImmediate, (XtPointer)False},
    {"backupSuffix", "BackupSuffix", XtRString, sizeof(String), offset(backupSuffix), XtRString,
     (XtPointer) ".old"},
};
#undef offset
const Cardinal appResourceCount = XtNumber(appResourceList);

// "-fn" sets only the font of picture texts, not the widgets' fonts.
XrmOptionDescRec optionTable[] = {
    {(char *)"-fn", (char *)".font", XrmoptionSepArg, nullptr},
};
const Cardinal optionCount = XtNumber(optionTable);
