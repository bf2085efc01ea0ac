#include "shell/Globals.h"

XtAppContext appContext;
Widget topLevel;
Widget topForm;
Widget menuLine;
Widget coord;

Widget optionsButton;
Widget shiftButton;
Widget zoomButton;
Widget optionsShell;
Widget shiftShell;
Widget zoomShell;
Widget valueField;
Widget offsetField;
Widget factorField;

Widget rasterOnToggle;
Widget snapOnToggle;
Widget slopeToggle;
Widget diametersToggle;
Widget linealToggle;
Widget crossToggle;
Widget llineToggle;
Widget thickLinesToggle;
Widget thicknessField;

Widget confirmer;
Widget confirmButton;
Widget message;
Widget messageDialog;
Widget fileShell;
Widget undoEntry;
Widget redoEntry;

char fileName[fileNameSize] = "No name";
char appTitle[64];
const char noName[] = "No name";
