#include "shell/FileSelect.h"

#include <X11/Shell.h>
#include <X11/StringDefs.h>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "canvas/Canvas.h"
#include "canvas/Pick.h"
#include "shell/LoadPicture.h"
#include "picfile/Writer.h"
#include "selector/FileNominator.h"
#include "selector/FileNominatorWindow.h"
#include "shell/FileCommands.h"
#include "shell/Globals.h"
#include "shell/MainWindow.h"
#include "shell/PictureChoice.h"
#include "shell/Resources.h"
#include "picfile/Reader.h"

static Widget selector() { return FileNominatorWindowGetNominator(fileShell); }

void createFileShell(Widget parent) {
    fileShell = XtCreatePopupShell("fileShell", fileNominatorWindowWidgetClass, parent, nullptr, 0);
    XtAddCallback(selector(), XtNcancelCallback, popdownShell, fileShell);
}

// Pops the selector up titled title, with chosen as what a selection does.
// It is modal: edits made while it is up would be lost, unasked, by a Load
// that was confirmed before them.
static void openSelector(const char *title, XtCallbackProc chosen) {
    XtRemoveAllCallbacks(selector(), XtNselectCallback);
    XtAddCallback(selector(), XtNselectCallback, chosen, nullptr);
    XtAddCallback(selector(), XtNselectCallback, popdownShell, fileShell);
    XtVaSetValues(fileShell, XtNtitle, title, nullptr);
    popupAtPointer(fileShell, XtGrabExclusive);
}

void loadCommand(Widget, XtPointer, XtPointer) { openSelector("Load", loadSelected); }

void saveAsCommand(Widget, XtPointer, XtPointer) { openSelector("Save as", saveSelected); }

static std::string selectedPath(XtPointer selection) {
    const FileNominatorSelection *s = static_cast<const FileNominatorSelection *>(selection);
    return std::string(s->directory ? s->directory : "") + (s->filename ? s->filename : "");
}

// A path too long for fileName is refused before the file is touched.
static bool fitsFileName(const std::string &path) {
    if (path.size() < fileNameSize) return true;
    showMessage(("Can't open file " + path + ": " + strerror(ENAMETOOLONG)).c_str());
    return false;
}

bool openPicture(const std::string &path, int which) {
    bool loaded = loadPicture(path.c_str(), showMessage, which) && setFileName(path.c_str());
    if (loaded) updateTitle();
    deselect();
    // A load that read nothing has only cleared the canvas: grid and ruler
    // come back with a full redraw, as after any other load.
    clearCanvas(true);
    return loaded;
}

// The pictures of the file at path; none when it cannot be read (the
// load then says why).
static std::vector<PictureEntry> picturesOf(const std::string &path) {
    FILE *file = openPictureFile(path.c_str());
    if (!file) return {};
    std::string text;
    bool read = readText(file, &text);
    fclose(file);
    return read ? listPictures(text) : std::vector<PictureEntry>();
}

// A file of several pictures asks which one first. After a failure the
// name stays in the selector's field, selected, so the next name typed
// replaces it.
void loadSelected(Widget, XtPointer, XtPointer selection) {
    std::string path = selectedPath(selection);
    if (fitsFileName(path)) {
        std::vector<PictureEntry> pictures = picturesOf(path);
        if (pictures.size() > 1) {
            XtPopdown(fileShell);  // before the choice takes the grab
            choosePicture(path, pictures);
            return;
        }
        if (openPicture(path, 0)) return;
    } else {
        deselect();
    }
    FileNominatorSelectName(selector());
}

void saveSelected(Widget, XtPointer, XtPointer selection) {
    std::string path = selectedPath(selection);
    if (fitsFileName(path) && saveDrawing(path.c_str(), showMessage, appResources.backupSuffix) &&
        setFileName(path.c_str()))
        updateTitle();
    else
        FileNominatorSelectName(selector());
}
