// The undo history of the drawing, without an X server.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "canvas/Shift.h"
#include "canvas/View.h"
#include "objects/History.h"
#include "objects/ObjRecord.h"
#include "picfile/Units.h"

namespace {

ObjRecord *line(float x, float y, float x2, float y2) {
    ObjRecord *r = ObjNew(ObjLine);
    r->x = x, r->y = y, r->x2 = x2, r->y2 = y2;
    return r;
}

ObjRecord *text(float x, float y, const char *s) {
    ObjRecord *r = ObjNew(ObjText);
    r->x = x, r->y = y, r->flags = posCentred;
    ObjSetText(r, s);
    return r;
}

// The list, newest first: "L x,y x2,y2" for a line, "T x,y text" for a text.
std::string drawing() {
    std::string s;
    char buf[200];
    for (const ObjRecord *r = objectList; r; r = r->next) {
        if (r->type == ObjLine)
            snprintf(buf, sizeof buf, "L %g,%g %g,%g", r->x, r->y, r->x2, r->y2);
        else
            snprintf(buf, sizeof buf, "T %g,%g %s/%d", r->x, r->y, ObjGetText(r), r->flags);
        s += s.empty() ? "" : " | ";
        s += buf;
    }
    return s;
}

struct HistoryTest : testing::Test {
    void SetUp() override {
        freeAllObjects();
        modified = false;
    }
    void TearDown() override { freeAllObjects(); }
};

}  // namespace

TEST_F(HistoryTest, UndoAndRedoRestoreEveryStateOfTheList) {
    // Each change and the drawing after it.
    ObjRecord *a = line(0, 0, 10, 0), *b = line(5, 5, 5, 25), *c = text(40, 40, "c");
    std::vector<std::string> states = {""};
    addObject(a);
    states.push_back(drawing());
    addObject(b);
    states.push_back(drawing());
    addObject(c);
    states.push_back(drawing());
    changeObject(b);  // the middle one, moved
    ObjMove(b, 3, 4);
    states.push_back(drawing());
    removeObject(b);
    states.push_back(drawing());
    changeObject(c);
    ObjSetText(c, "changed");
    c->flags = posTop | posLeft;
    states.push_back(drawing());
    removeObject(a);  // the last one
    states.push_back(drawing());
    EXPECT_EQ(states[3], "T 40,40 c/34 | L 5,5 5,25 | L 0,0 10,0");
    EXPECT_EQ(states[4], "T 40,40 c/34 | L 8,9 8,29 | L 0,0 10,0");
    EXPECT_EQ(states[5], "T 40,40 c/34 | L 0,0 10,0");
    EXPECT_EQ(states[7], "T 40,40 changed/17");

    for (size_t i = states.size() - 1; i > 0; i--) {
        ASSERT_TRUE(undoStep());
        EXPECT_EQ(drawing(), states[i - 1]) << "undo to " << i - 1;
    }
    EXPECT_FALSE(canUndo());
    EXPECT_FALSE(undoStep());
    for (size_t i = 1; i < states.size(); i++) {
        ASSERT_TRUE(redoStep());
        EXPECT_EQ(drawing(), states[i]) << "redo to " << i;
    }
    EXPECT_FALSE(canRedo());
    EXPECT_FALSE(redoStep());
}

TEST_F(HistoryTest, RecordsThatStayKeepTheirAddress) {
    ObjRecord *a = line(0, 0, 10, 0);
    addObject(a);
    changeObject(a);
    ObjMove(a, 1, 1);
    undoStep();
    EXPECT_EQ(objectList, a);
    EXPECT_EQ(a->x, 0);
    redoStep();
    EXPECT_EQ(objectList, a);
    EXPECT_EQ(a->x, 1);
}

TEST_F(HistoryTest, ANewChangeDropsWhatCouldBeRedone) {
    addObject(line(0, 0, 10, 0));
    addObject(line(0, 5, 10, 5));
    removeObject(objectList);
    undoStep();
    undoStep();
    EXPECT_TRUE(canRedo());
    addObject(text(1, 1, "t"));
    EXPECT_FALSE(canRedo());
    EXPECT_EQ(drawing(), "T 1,1 t/34 | L 0,0 10,0");
    undoStep();
    EXPECT_EQ(drawing(), "L 0,0 10,0");
}

TEST_F(HistoryTest, AStepOfSeveralChangesIsUndoneAsOne) {
    ObjRecord *a = line(0, 0, 10, 0), *b = line(0, 5, 10, 5);
    addObject(a);
    addObject(b);
    const std::string before = drawing();
    openStep();
    changeObject(a);
    ObjMove(a, 10, 0);
    removeObject(b);
    ObjRecord *copy = ObjNew(ObjLine);
    ObjCopy(a, copy);
    addObject(copy);
    closeStep();
    const std::string after = drawing();
    EXPECT_EQ(after, "L 10,0 20,0 | L 10,0 20,0");
    undoStep();
    EXPECT_EQ(drawing(), before);
    redoStep();
    EXPECT_EQ(drawing(), after);
    undoStep();
    undoStep();
    EXPECT_EQ(drawing(), "L 0,0 10,0");
}

TEST_F(HistoryTest, RemovingSeveralInOneWalkIsOneStepThatPutsEachBackInItsPlace) {
    // Newest first: e d c b a; the first, two neighbours and the last go.
    for (float y : {0, 1, 2, 3, 4}) addObject(line(0, y, 10, y));
    const std::string before = drawing();
    removeObjects([](const ObjRecord *r) { return r->y != 1 && r->y != 3; });
    const std::string after = drawing();
    EXPECT_EQ(after, "L 0,3 10,3 | L 0,1 10,1");
    undoStep();
    EXPECT_EQ(drawing(), before);
    redoStep();
    EXPECT_EQ(drawing(), after);
    undoStep();
    undoStep();  // the step before: the newest line's addition
    EXPECT_EQ(drawing(), "L 0,3 10,3 | L 0,2 10,2 | L 0,1 10,1 | L 0,0 10,0");
}

TEST_F(HistoryTest, AnEmptyStepIsNoStep) {
    addObject(line(0, 0, 10, 0));
    undoStep();
    openStep();
    closeStep();
    EXPECT_TRUE(canRedo());
    EXPECT_FALSE(canUndo());
    ObjRecord *stray = line(1, 1, 2, 2);
    removeObject(stray);  // not in the drawing: no change
    EXPECT_TRUE(canRedo());
    ObjFree(stray);
}

TEST_F(HistoryTest, ModifiedIsFalseExactlyAtTheSavedState) {
    // Operations and the flag after each: a change (c), undo (u), redo
    // (r), save (s).
    struct Case {
        const char *ops;
        const char *flags;
    } cases[] = {
        {"cu", "10"},
        {"ccuurr", "111011"},
        {"ccsuurr", "1101110"},
        {"csucr", "10111"},  // the saved state can no longer come back
        {"csuucu", "101111"},
        {"ccsucuu", "1101111"},
        {"ccsuusruu", "110110100"},  // saved with steps to redo
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.ops);
        freeAllObjects();
        modified = false;
        std::string flags;
        for (const char *op = c.ops; *op; op++) {
            switch (*op) {
            case 'c': addObject(line(0, 0, 1, 1)); break;
            case 'u': undoStep(); break;
            case 'r': redoStep(); break;
            case 's': markSaved(); break;
            }
            flags += modified ? '1' : '0';
        }
        EXPECT_EQ(flags, c.flags);
    }
}

TEST_F(HistoryTest, HeldRecordsFollowZoomAndShift) {
    // Every record the history holds, in the list or not, takes the same
    // arithmetic as the list: undone after a zoom and a shift, the
    // drawing is what those would have made of it.
    ObjRecord *a = line(10, 20, 30, 20), *b = line(0, 0, 0, 8), *c = text(5, 5, "c");
    addObject(a);
    addObject(b);
    addObject(c);
    changeObject(a);
    ObjMove(a, 1, 1);  // a copy from before is held
    removeObject(b);   // b is held
    undoStep();
    undoStep();
    undoStep();        // c is held, for redo
    rescaleAll(1.5f);
    strcpy(offsetText, "7");
    shiftView(shiftRight);
    strcpy(offsetText, "3");
    shiftView(shiftUp);
    EXPECT_EQ(drawing(), "L 7,-3 7,9 | L 22,27 52,27");
    redoStep();
    redoStep();
    redoStep();
    // c at (5,5)*1.5 + (7,-3); b removed; a moved by one pixel before the
    // zoom, 1.5 after.
    EXPECT_EQ(drawing(), "T 14.5,4.5 c/34 | L 23.5,28.5 53.5,28.5");
    undoStep();
    undoStep();
    EXPECT_EQ(drawing(), "T 14.5,4.5 c/34 | L 7,-3 7,9 | L 22,27 52,27");
}

TEST_F(HistoryTest, TheRecordsThatLeaveTheListAreReported) {
    ObjRecord *a = line(0, 0, 1, 1), *b = line(2, 2, 3, 3);
    addObject(a);
    addObject(b);
    openStep();
    removeObject(a);
    changeObject(b);
    closeStep();
    static std::vector<ObjRecord *> gone;
    auto note = [](ObjRecord *r) { gone.push_back(r); };
    gone.clear();
    undoStep(note);
    EXPECT_TRUE(gone.empty());
    redoStep(note);
    EXPECT_EQ(gone, std::vector<ObjRecord *>{a});
    gone.clear();
    undoStep(note);
    undoStep(note);
    EXPECT_EQ(gone, std::vector<ObjRecord *>{b});
}

TEST_F(HistoryTest, FreeingTheDrawingForgetsTheHistory) {
    addObject(line(0, 0, 1, 1));
    removeObject(objectList);
    addObject(line(0, 0, 1, 1));
    undoStep();
    freeAllObjects();  // the sanitized build checks that nothing leaks
    EXPECT_FALSE(canUndo());
    EXPECT_FALSE(canRedo());
    int held = 0;
    forEachHeldRecord([&held](ObjRecord *) { held++; });
    EXPECT_EQ(held, 0);
}
