#include "objects/History.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

enum ActionKind : uint8_t { added, removed, changed };

// One change of the list. For an addition or a removal, aux is the record
// before rec in the list (NULL at the head), which is where it was when the
// change was made and, since undo and redo restore the list exactly, where
// it is again whenever the change is undone or redone. For a change, aux
// holds the other contents of rec: those from before while the step is
// done, those from after while it is undone.
struct Action {
    ObjRecord *rec;
    ObjRecord *aux;
    ActionKind kind;
};

// Never destroyed: the records they hold stay reachable until the program
// ends, as the list's own do.
std::vector<Action> &actions = *new std::vector<Action>;
std::vector<size_t> &stepEnds = *new std::vector<size_t>;  // step i is actions [stepEnds[i-1], stepEnds[i])
size_t doneSteps = 0;          // steps 0 .. doneSteps-1 are done, the rest undone
long savedStep = 0;            // doneSteps of the state on file; -1 when it cannot come back
int openDepth = 0;
bool recording = false;        // the step under way has a change
void (*historyHook)() = nullptr;

void notify() {
    if (historyHook) historyHook();
}

size_t stepBegin(size_t i) { return i ? stepEnds[i - 1] : 0; }

// Frees what the history, not the list, holds of a while its step is
// done (or undone): a removed record, an undone addition, a copy.
void freeHeld(const Action &a, bool done) {
    if (a.kind == changed)
        ObjFree(a.aux);
    else if ((a.kind == removed) == done)
        ObjFree(a.rec);
}

void dropRedo() {
    for (size_t i = stepBegin(doneSteps); i < actions.size(); i++) freeHeld(actions[i], false);
    actions.resize(stepBegin(doneSteps));
    stepEnds.resize(doneSteps);
    if (savedStep > static_cast<long>(doneSteps)) savedStep = -1;
}

void finishStep() {
    stepEnds.push_back(actions.size());
    doneSteps++;
    recording = false;
    modified = true;
    notify();
}

void record(const Action &a) {
    if (!recording) {
        dropRedo();
        recording = true;
    }
    actions.push_back(a);
    if (openDepth == 0) finishStep();
}

void linkAfter(ObjRecord *prev, ObjRecord *rec) {
    ObjRecord **link = prev ? &prev->next : &objectList;
    rec->next = *link;
    *link = rec;
}

void unlinkAfter(ObjRecord *prev, ObjRecord *rec) {
    ObjRecord **link = prev ? &prev->next : &objectList;
    if (*link != rec) {
        for (link = &objectList; *link && *link != rec; link = &(*link)->next) {
        }
        if (!*link) {
            fprintf(stderr, "undoStep: record not in the drawing\n");
            abort();
        }
    }
    *link = rec->next;
    rec->next = nullptr;
}

// Puts a's other contents into its record, keeping the record's place.
void exchange(Action &a) {
    ObjRecord *now = ObjNew(a.rec->type);
    ObjCopy(a.rec, now);
    ObjCopy(a.aux, a.rec);
    ObjFree(a.aux);
    a.aux = now;
}

void apply(Action &a, void (*gone)(ObjRecord *)) {
    switch (a.kind) {
    case added: linkAfter(a.aux, a.rec); break;
    case removed:
        unlinkAfter(a.aux, a.rec);
        if (gone) gone(a.rec);
        break;
    case changed: exchange(a); break;
    }
}

void revert(Action &a, void (*gone)(ObjRecord *)) {
    switch (a.kind) {
    case added:
        unlinkAfter(a.aux, a.rec);
        if (gone) gone(a.rec);
        break;
    case removed: linkAfter(a.aux, a.rec); break;
    case changed: exchange(a); break;
    }
}

void settle() {
    modified = static_cast<long>(doneSteps) != savedStep;
    notify();
}

}  // namespace

void openStep() { openDepth++; }

void closeStep() {
    if (openDepth > 0 && --openDepth == 0 && recording) finishStep();
}

void addObject(ObjRecord *rec) {
    linkObject(rec);
    record({rec, nullptr, added});
}

void removeObject(ObjRecord *rec) {
    ObjRecord *prev = nullptr;
    for (ObjRecord *r = objectList; r != rec; r = r->next) {
        if (!r) return;
        prev = r;
    }
    unlinkAfter(prev, rec);
    record({rec, prev, removed});
}

void removeObjects(bool (*doomed)(const ObjRecord *)) {
    // Each removal is recorded with the record kept before it: undone in
    // reverse order, every one goes back to its place.
    openStep();
    ObjRecord *prev = nullptr;
    for (ObjRecord *rec = objectList; rec;) {
        ObjRecord *next = rec->next;
        if (doomed(rec)) {
            unlinkAfter(prev, rec);
            record({rec, prev, removed});
        } else {
            prev = rec;
        }
        rec = next;
    }
    closeStep();
}

void changeObject(ObjRecord *rec) {
    ObjRecord *before = ObjNew(rec->type);
    ObjCopy(rec, before);
    record({rec, before, changed});
}

bool canUndo() { return doneSteps > 0 && !recording; }
bool canRedo() { return doneSteps < stepEnds.size() && !recording; }

bool undoStep(void (*gone)(ObjRecord *)) {
    if (!canUndo()) return false;
    for (size_t i = stepEnds[doneSteps - 1]; i-- > stepBegin(doneSteps - 1);) revert(actions[i], gone);
    doneSteps--;
    settle();
    return true;
}

bool redoStep(void (*gone)(ObjRecord *)) {
    if (!canRedo()) return false;
    for (size_t i = stepBegin(doneSteps); i < stepEnds[doneSteps]; i++) apply(actions[i], gone);
    doneSteps++;
    settle();
    return true;
}

void clearHistory() {
    for (size_t i = 0; i < actions.size(); i++) {
        // The step under way counts as done: its changes are in the list.
        bool done = i < stepBegin(doneSteps) || (recording && i >= stepBegin(doneSteps));
        freeHeld(actions[i], done);
    }
    actions.clear();
    actions.shrink_to_fit();
    stepEnds.clear();
    stepEnds.shrink_to_fit();
    doneSteps = 0;
    savedStep = 0;
    recording = false;
    openDepth = 0;
    notify();
}

void markSaved() {
    savedStep = static_cast<long>(doneSteps);
    modified = false;
    notify();
}

void forEachHeldRecord(const std::function<void(ObjRecord *)> &fn) {
    for (size_t step = 0; step < stepEnds.size(); step++) {
        bool done = step < doneSteps;
        for (size_t i = stepBegin(step); i < stepEnds[step]; i++) {
            const Action &a = actions[i];
            if (a.kind == changed)
                fn(a.aux);
            else if ((a.kind == removed) == done)
                fn(a.rec);
        }
    }
    // A step under way: its removals and copies are out of the list too.
    if (recording)
        for (size_t i = stepBegin(doneSteps); i < actions.size(); i++) {
            const Action &a = actions[i];
            if (a.kind != added) fn(a.kind == changed ? a.aux : a.rec);
        }
}

void setHistoryHook(void (*fn)()) { historyHook = fn; }
