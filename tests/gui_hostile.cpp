// Start-up with hostile resource values: the program starts or refuses
// the value with a message, and nothing overruns (the sanitizer build
// checks that).
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "harness/Editor.h"
#include "objects/ObjRecord.h"
#include "objects/Scale.h"
#include "shell/FileCommands.h"
#include "shell/Globals.h"

using namespace harness;

namespace {

struct Hostile {
    const char *name;
    std::vector<std::string> resources;
};

void PrintTo(const Hostile &h, std::ostream *os) { *os << h.name; }

class HostileResources : public testing::TestWithParam<Hostile> {};

}  // namespace

TEST_P(HostileResources, StartAndWork) {
    std::vector<std::string> args;
    for (const std::string &r : GetParam().resources) args.insert(args.end(), {"-xrm", r});
    testing::internal::CaptureStderr();
    startEditor(args);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(windowTitle(), "Vexilo 2.4.1: No name");
    EXPECT_TRUE(zoomFactor >= 0.25f && zoomFactor <= 4.0f);
    // The program still draws, shifts, zooms, shows messages and opens the
    // file selector.
    chooseMenu("draw", "rounded");
    canvasClick(100, 100);
    canvasClick(160, 140);
    EXPECT_EQ(countObjects(), 1);
    chooseMenu("edit", "refresh");
    showMessage("a message");
    chooseMenu("file", "saveas");
    EXPECT_TRUE(shellUp(fileShell));
    for (const ObjRecord *r = objectList; r; r = r->next) EXPECT_TRUE(std::isfinite(r->x) && std::isfinite(r->y));
}

INSTANTIATE_TEST_SUITE_P(
    Values, HostileResources,
    testing::Values(
        Hostile{"formats", {"*menuLine.zoom.label: %s%s%n%x", "*menuLine.coord.label: %s%n", "*message*label.label: %n%s",
                            "*confirmer*dialog.label: %s%s%s%s", "Vexilo.title: %s%n"}},
        Hostile{"hugeNumbers", {"*initZoomFactor: 1e999", "*initGridDistance: 1e39", "*initOffset: -1e39",
                                "*initGrid: True", "*initSnapGrid: True", "*defaultUnitLength: 99999999999999999999in"}},
        Hostile{"notNumbers", {"*initZoomFactor: nan", "*initGridDistance: inf", "*initOffset: nan", "*initGrid: True",
                               "*initRuler: True", "*initCross: True"}},
        Hostile{"negativeSizes", {"*canvas.grip.width: -8", "*canvas.grip.height: 70000", "*message*label.width: -5",
                                  "*fileShell*numberRows: -3", "*fileShell*margin: -10", "*fileShell*bellLevel: 1000",
                                  "*optionsShell*value.width: 0", "*initGridDistance: -10", "*initGrid: True"}},
        Hostile{"keys", {"*menuLine.edit.accelerators: Ctrl<Key>z: undo(",
                         std::string("*menuLine*undo.key.label: ") + std::string(40000, 'Z'),
                         "*menuLine*redo.key.label: %s%n"}},
        Hostile{"latexView", {"*latexColor: no such colour", "*menuLine.latex.label: %s%n",
                              "*menuLine.latex.accelerators: Ctrl<Key>l: toggle("}},
        Hostile{"longTexts", {std::string("*menuLine.zoom.label: ") + std::string(5000, 'Z') + "%d",
                              std::string("*backupSuffix: ") + std::string(5000, '.'),
                              std::string("*defaultUnitLength: ") + std::string(5000, '9') + "pt",
                              std::string("*fileShell*filter: ") + std::string(5000, '[')}}),
    [](const testing::TestParamInfo<Hostile> &info) { return std::string(info.param.name); });
