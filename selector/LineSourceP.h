/*
 * Private declarations of the LineSource object.
 */
#ifndef _LineSourceP_h
#define _LineSourceP_h

#include "LineSource.h"

#include <X11/Xaw/AsciiSrcP.h>

typedef struct {
    XtPointer extension;
} LineSourceClassPart;

typedef struct _LineSourceClassRec {
    ObjectClassPart object_class;
    TextSrcClassPart text_src_class;
    AsciiSrcClassPart ascii_src_class;
    LineSourceClassPart line_source_class;
} LineSourceClassRec;

extern LineSourceClassRec lineSourceClassRec;

typedef struct {
    /* resources */
    XtCallbackList string_callback;	/* after string was set */
} LineSourcePart;

typedef struct _LineSourceRec {
    ObjectPart object;
    TextSrcPart text_src;
    AsciiSrcPart ascii_src;
    LineSourcePart line_source;
} LineSourceRec;

#endif /* _LineSourceP_h */
