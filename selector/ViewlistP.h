/*
 * Private declarations of the Viewlist widget.
 */
#ifndef _ViewlistP_h
#define _ViewlistP_h

#include "Viewlist.h"

#include <X11/Xaw/ViewportP.h>

typedef struct {
    XtPointer extension;
} ViewlistClassPart;

typedef struct _ViewlistClassRec {
    CoreClassPart core_class;
    CompositeClassPart composite_class;
    ConstraintClassPart constraint_class;
    FormClassPart form_class;
    ViewportClassPart viewport_class;
    ViewlistClassPart viewlist_class;
} ViewlistClassRec;

extern ViewlistClassRec viewlistClassRec;

typedef struct {
    /* resources */
    Widget list_widget;		/* the List child */
    /* private */
    String *items;		/* every item, as ViewlistChange gave them */
    int count;			/* how many */
    int first;			/* the first of them the List holds */
    int window;			/* how many the List holds */
    Boolean moving;		/* the window is being moved */
} ViewlistPart;

typedef struct _ViewlistRec {
    CorePart core;
    CompositePart composite;
    ConstraintPart constraint;
    FormPart form;
    ViewportPart viewport;
    ViewlistPart viewlist;
} ViewlistRec;

#endif /* _ViewlistP_h */
