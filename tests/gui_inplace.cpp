// Pictures inside files of other material, through the window: which
// picture the title names, the warnings of a load in the message, the
// question before a save that would lose parts, the file written back
// around the picture.
#include <gtest/gtest.h>

#include <X11/StringDefs.h>
#include <X11/Xaw/List.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "harness/Editor.h"
#include "harness/Files.h"
#include "objects/ObjRecord.h"
#include "picfile/Units.h"
#include "shell/FileCommands.h"
#include "shell/Globals.h"
#include "shell/LoadPicture.h"
#include "shell/MainWindow.h"
#include "shell/PictureChoice.h"

using namespace harness;

namespace {

void write(const std::string &path, const std::string &text) { std::ofstream(path) << text; }

const std::string chapter =
    "\\section{Pictures}\nThe first is empty:\n\\begin{picture}(10,10)\\end{picture}\n"
    "The second:\n\\begin{picture}(100,50)\n"
    "{\\color{red}\\put(10,10){\\line(1,0){50}}}\n"
    "\\put(20,20){\\shortstack{a\\\\b}}\n"
    "\\end{picture}\n"
    "The third:\n\\begin{picture}(5,5)\\put(0,0){\\circle{4}}\\end{picture}\n% end\n";

void load(const std::string &path) {
    ASSERT_TRUE(loadPicture(path.c_str(), showMessage));
    setFileName(path.c_str());
    updateTitle();
}

}  // namespace

TEST(InPlaceWindow, TheTitleNamesThePictureAndTheMessageTheWarnings) {
    startEditor();
    std::string path = scratchDir() + "/chapter.tex";
    write(path, chapter);
    load(path);
    idle();
    EXPECT_EQ(windowTitle(), "Vexilo 2.4.1: " + path + " [2 of 3]");
    // The line and the kept \shortstack.
    ASSERT_EQ(countObjects(), 2);
    EXPECT_EQ(objectList->next->type, ObjVerbatim);
    EXPECT_TRUE(shellUp(message));
    EXPECT_EQ(labelOf(messageDialog), "1 warning while loading:\nline 6: unknown command \\color skipped");
    // New forgets the file's pictures.
    chooseMenu("file", "new");
    EXPECT_EQ(windowTitle(), "Vexilo 2.4.1: No name");
}

TEST(InPlaceWindow, SaveAsksBeforeLosingPartsAndKeepsTheChapter) {
    startEditor();
    std::string path = scratchDir() + "/chapter.tex";
    write(path, chapter);
    load(path);
    chooseMenu("file", "save");
    ASSERT_TRUE(shellUp(confirmer));
    EXPECT_EQ(labelOf(XtNameToWidget(confirmer, "dialog")),
              "1 part of " + path + " could not be read and will not be saved. Save anyway?");
    pressButton(XtNameToWidget(confirmer, "dialog.cancel"));
    EXPECT_EQ(readFile(path), chapter);
    chooseMenu("file", "save");
    ASSERT_TRUE(shellUp(confirmer));
    pressButton(confirmButton);
    EXPECT_EQ(readFile(path),
              "\\section{Pictures}\nThe first is empty:\n\\begin{picture}(10,10)\\end{picture}\n"
              "The second:\n\\begin{picture}(100,50)\n"
              "\\put(10.00,10.00){\\line(1,0){50.00}}\n"
              "\\put(20.00,20.00){\\shortstack{a\\\\b}}\n"
              "\\end{picture}\n"
              "The third:\n\\begin{picture}(5,5)\\put(0,0){\\circle{4}}\\end{picture}\n% end\n");
    // Nothing more is lost: the next save does not ask, and the other
    // question is the confirmer's own again.
    chooseMenu("file", "save");
    EXPECT_FALSE(shellUp(confirmer));
    chooseMenu("draw", "line");
    canvasClick(100, 100);
    canvasClick(200, 100);
    canvasClick(200, 100, 2);
    chooseMenu("file", "new");
    ASSERT_TRUE(shellUp(confirmer));
    EXPECT_EQ(labelOf(XtNameToWidget(confirmer, "dialog")), "Discard changes?");
}

TEST(InPlaceWindow, AChosenPictureOnTheCommandLine) {
    std::string path = scratchDir() + "/chapter.tex";
    write(path, chapter);
    startEditor({"-picture", "3", path});
    EXPECT_EQ(windowTitle(), "Vexilo 2.4.1: " + path + " [3 of 3]");
    ASSERT_EQ(countObjects(), 1);
    EXPECT_EQ(objectList->type, ObjCircle);
}

TEST(InPlaceWindow, APictureThatCannotBeReplacedIsNotSaved) {
    startEditor();
    std::string path = scratchDir() + "/macro.tex";
    std::string text = "\\newcommand{\\pic}[1]{\\begin{picture}(10,10)\\put(0,0){\\line(1,0){#1}}\\end{picture}}\n";
    write(path, text);
    load(path);
    EXPECT_TRUE(shellUp(message));
    chooseMenu("file", "save");
    EXPECT_EQ(labelOf(messageDialog), "The picture is part of a macro definition: not saved");
    EXPECT_EQ(readFile(path), text);
}

namespace {

// The highlighted row of the picture choice; -1 for none.
int chosenRow() {
    XawListReturnStruct *current = XawListShowCurrent(pictureList);
    int index = current ? current->list_index : -1;
    XtFree(reinterpret_cast<char *>(current));
    return index;
}

std::vector<std::string> choiceRows() {
    String *items = nullptr;
    int count = 0;
    XtVaGetValues(pictureList, XtNlist, &items, XtNnumberStrings, &count, nullptr);
    return std::vector<std::string>(items, items + count);
}

}  // namespace

TEST(InPlaceWindow, LoadAsksWhichPictureOfSeveral) {
    startEditor();
    std::string path = scratchDir() + "/chapter.tex";
    write(path, chapter);
    chooseMenu("file", "load");
    nominateFile(path);
    ASSERT_TRUE(shellUp(pictureShell));
    EXPECT_EQ(labelOf(XtNameToWidget(pictureShell, "form.label")), "chapter.tex holds 3 pictures. Load which one?");
    EXPECT_EQ(choiceRows(), (std::vector<std::string>{"Picture 1 of 3, line 3: empty",
                                                       "Picture 2 of 3, line 5: 2 objects",
                                                       "Picture 3 of 3, line 10: 1 object"}));
    EXPECT_EQ(chosenRow(), 1);  // the first that holds objects
    EXPECT_EQ(countObjects(), 0);  // nothing is loaded before the choice
    key(appContext, "Down");
    key(appContext, "Down");  // held to the last row
    EXPECT_EQ(chosenRow(), 2);
    key(appContext, "Return");
    EXPECT_FALSE(shellUp(pictureShell));
    EXPECT_EQ(windowTitle(), "Vexilo 2.4.1: " + path + " [3 of 3]");
    ASSERT_EQ(countObjects(), 1);
    EXPECT_EQ(objectList->type, ObjCircle);

    // A double click on a row loads that picture.
    chooseMenu("file", "load");
    nominateFile(path);
    ASSERT_TRUE(shellUp(pictureShell));
    Dimension height = 0;
    XtVaGetValues(pictureList, XtNheight, &height, nullptr);
    int row = height / 3;
    click(appContext, pictureList, 20, row + row / 2);
    click(appContext, pictureList, 20, row + row / 2);
    EXPECT_FALSE(shellUp(pictureShell));
    EXPECT_EQ(windowTitle(), "Vexilo 2.4.1: " + path + " [2 of 3]");
    EXPECT_EQ(countObjects(), 2);

    // Escape leaves the drawing as it was.
    chooseMenu("file", "load");
    nominateFile(path);
    ASSERT_TRUE(shellUp(pictureShell));
    key(appContext, "Up");
    key(appContext, "Escape");
    EXPECT_FALSE(shellUp(pictureShell));
    EXPECT_EQ(windowTitle(), "Vexilo 2.4.1: " + path + " [2 of 3]");
    EXPECT_EQ(countObjects(), 2);
}

TEST(InPlaceWindow, AFileOfOnePictureLoadsWithoutAsking) {
    startEditor();
    std::string path = scratchDir() + "/one.tex";
    write(path, "Text\n\\begin{picture}(5,5)\\put(0,0){\\circle{4}}\\end{picture}\n");
    chooseMenu("file", "load");
    nominateFile(path);
    EXPECT_FALSE(shellUp(pictureShell));
    EXPECT_EQ(windowTitle(), "Vexilo 2.4.1: " + path);
    EXPECT_EQ(countObjects(), 1);
}

namespace {

// A file that gives no object, loaded; a line drawn and saved into it.
std::string lineSavedInto(const std::string &name, const std::string &text) {
    std::string path = scratchDir() + "/" + name;
    write(path, text);
    load(path);
    EXPECT_EQ(labelOf(messageDialog), "Nothing was loaded");
    drawObject("line", {{100, 100}, {200, 100}});
    chooseMenu("file", "save");
    return readFile(path);
}

}  // namespace

TEST(InPlaceWindow, ADrawingIsAddedToAFileWithoutAPicture) {
    startEditor();
    std::string saved =
        lineSavedInto("document.tex", "\\documentclass{article}\n\\begin{document}\nMy text.\n\\end{document}\n");
    EXPECT_EQ(saved.substr(0, 84),
              "\\documentclass{article}\n\\begin{document}\nMy text.\n\n{% Picture saved by vexilo 2.4.1\n");
    ASSERT_GT(saved.size(), 30u);
    EXPECT_EQ(saved.substr(saved.size() - 30), "\\end{picture}}\n\\end{document}\n");
}

TEST(InPlaceWindow, ADrawingGoesIntoAnEmptyPictureInItsUnit) {
    startEditor();
    std::string saved =
        lineSavedInto("chapter.tex", "Text.\n\\unitlength=2mm\n\\begin{picture}(10,10)\n\\end{picture}\nEnd.\n");
    EXPECT_EQ(unitValue, 2.0f);
    EXPECT_STREQ(unitTable[unitIndex].name, "mm");
    EXPECT_EQ(saved.substr(0, 50), "Text.\n\\unitlength=2mm\n\\begin{picture}(10,10)\n\\put(");
    EXPECT_EQ(saved.substr(saved.size() - 19), "\\end{picture}\nEnd.\n");
}

TEST(InPlaceWindow, APictureWithABrokenHeaderIsSavedAsAnotherFile) {
    startEditor();
    std::string path = scratchDir() + "/broken.tex";
    std::string text = "Text.\n\\begin{picture}(10)\n\\put(0,0){\\line(1,0){10}}\n\\end{picture}\nEnd.\n";
    write(path, text);
    load(path);
    EXPECT_EQ(labelOf(messageDialog),
              "2 warnings while loading:\nline 3: error in \\begin{picture} line\n"
              "The \\begin{picture} line is broken; it cannot be saved in its file");
    chooseMenu("file", "save");
    EXPECT_EQ(labelOf(messageDialog), "The \\begin{picture} line is broken: not saved");
    EXPECT_EQ(readFile(path), text);
    // Save As names the file it came from: refused as well.
    chooseMenu("file", "saveas");
    nominateFile(path);
    EXPECT_EQ(readFile(path), text);
    // Another file gets it in the editor's own form, and is its file then.
    std::string other = scratchDir() + "/other.tex";
    chooseMenu("file", "saveas");
    nominateFile(other);
    EXPECT_EQ(readFile(other),
              "{% Picture saved by vexilo 2.4.1\n\\unitlength=1.000000pt\n\\begin{picture}(10.00,0.00)(0.00,0.00)\n"
              "\\put(0.00,0.00){\\line(1,0){10.00}}\n\\end{picture}}\n");
    EXPECT_EQ(windowTitle(), "Vexilo 2.4.1: " + other);
    pressButton(XtNameToWidget(messageDialog, "done"));
    drawObject("line", {{100, 200}, {200, 200}});
    chooseMenu("file", "save");
    EXPECT_EQ(countObjects(), 2);
    std::string again = readFile(other);
    size_t first = again.find("\\line(1,0)");
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(again.find("\\line(1,0)", first + 1), std::string::npos);
    EXPECT_EQ(readFile(path), text);
}

TEST(InPlaceWindow, APictureOfAMacroIsSavedNowhere) {
    startEditor();
    std::string path = scratchDir() + "/macro.tex";
    write(path, "\\newcommand{\\pic}[1]{\\begin{picture}(10,10)\\put(0,0){\\line(1,0){#1}}\\end{picture}}\n");
    load(path);
    std::string other = scratchDir() + "/other.tex";
    chooseMenu("file", "saveas");
    nominateFile(other);
    EXPECT_EQ(labelOf(messageDialog), "The picture is part of a macro definition: not saved");
    EXPECT_EQ(access(other.c_str(), F_OK), -1);
}

TEST(InPlaceWindow, AnEmptyPictureWithALostPartAsksBeforeSaving) {
    startEditor();
    std::string path = scratchDir() + "/open.tex";
    std::string text = "Text.\n\\begin{picture}(10,10)\n{\\color{red}\n";
    write(path, text);
    load(path);
    EXPECT_EQ(labelOf(messageDialog), "Nothing was loaded");
    pressButton(XtNameToWidget(messageDialog, "done"));
    drawObject("line", {{100, 100}, {200, 100}});
    chooseMenu("file", "save");
    ASSERT_TRUE(shellUp(confirmer));
    EXPECT_EQ(labelOf(XtNameToWidget(confirmer, "dialog")),
              "1 part of " + path + " could not be read and will not be saved. Save anyway?");
    pressButton(XtNameToWidget(confirmer, "dialog.cancel"));
    EXPECT_EQ(readFile(path), text);
}
