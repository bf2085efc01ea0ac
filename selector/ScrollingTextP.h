/*
 * Private declarations of the ScrollingText widget.
 */
#ifndef _ScrollingTextP_h
#define _ScrollingTextP_h

#include "ScrollingText.h"

#include <X11/Xaw/PortholeP.h>

typedef struct {
    XtPointer extension;
} ScrollingTextClassPart;

typedef struct _ScrollingTextClassRec {
    CoreClassPart core_class;
    CompositeClassPart composite_class;
    PortholeClassPart porthole_class;
    ScrollingTextClassPart scrolling_text_class;
} ScrollingTextClassRec;

extern ScrollingTextClassRec scrollingTextClassRec;

typedef struct {
    /* resources */
    Boolean scroll_on_movement;	/* caret motion makes the text follow */
    Widget text_widget;		/* the AsciiText child */
    /* private */
    int char_width;		/* max_bounds.width of the text's font */
    XtActionHookId action_hook;	/* set exactly while scroll_on_movement */
    XtWorkProcId pending_work;	/* a queued follow, or 0 */
    XtActionHookId replace_hook; /* set while the next edit replaces all */
} ScrollingTextPart;

typedef struct _ScrollingTextRec {
    CorePart core;
    CompositePart composite;
    PortholePart porthole;
    ScrollingTextPart scrolling_text;
} ScrollingTextRec;

#endif /* _ScrollingTextP_h */
