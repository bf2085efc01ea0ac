// The undo history of the drawing: every change of the object list as a
// step that can be undone and redone, back to the last New or Load.
//
// A step holds what the change took away, not a copy of the drawing: an
// added record is remembered by its pointer, a removed one is kept (not
// freed), a changed one leaves a copy of its contents from before. Undo
// and redo keep every record that stays in the drawing at its address, so
// pointers into the object list stay good across them, and they restore
// each record where it was in the list.
//
// The records the history keeps out of the list hold canvas pixels like
// the list's own: whatever moves or rescales every record of the drawing
// does the same to them (forEachHeldRecord).
#ifndef VEXILO_HISTORY_H
#define VEXILO_HISTORY_H

#include <functional>

#include "objects/ObjRecord.h"

// The changes between openStep and closeStep form one step; a change made
// while no step is open is a step of its own. Each record is added,
// removed or changed at most once in a step. Closing a step that holds
// a change drops every step that could be redone and sets `modified`.
void openStep();
void closeStep();

// Links rec, a new record, at the head of the list.
void addObject(ObjRecord *rec);
// Takes rec out of the list; the history keeps it.
void removeObject(ObjRecord *rec);
// Takes every record for which doomed is true out of the list, in one
// walk; the history keeps them.
void removeObjects(bool (*doomed)(const ObjRecord *rec));
// Called before rec is changed in place: the step keeps its contents.
void changeObject(ObjRecord *rec);

bool canUndo();
bool canRedo();
// Undo or redo the last step; false when there is none. gone, when given,
// is told of every record that leaves the list (the history keeps it).
// `modified` becomes false when the drawing is back as it was saved.
bool undoStep(void (*gone)(ObjRecord *rec) = nullptr);
bool redoStep(void (*gone)(ObjRecord *rec) = nullptr);

// Forgets every step and frees the records only the history held. The
// list's own records are the caller's.
void clearHistory();
// The drawing as it stands is the one on file: `modified` is false now
// and whenever undo or redo come back to this state.
void markSaved();

// Every record the history holds out of the list.
void forEachHeldRecord(const std::function<void(ObjRecord *)> &fn);

// Called after every change of what can be undone or redone.
void setHistoryHook(void (*fn)());

#endif
