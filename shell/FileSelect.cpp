// Placeholder until Load and Save As use the file selector.
#include "shell/FileSelect.h"

void createFileShell(Widget) {}
void loadCommand(Widget, XtPointer, XtPointer) {}
void saveAsCommand(Widget, XtPointer, XtPointer) {}
void loadSelected(Widget, XtPointer, XtPointer) {}
void saveSelected(Widget, XtPointer, XtPointer) {}
