/*
 * LineSource: an AsciiSrc that keeps its text to one line.
 */
#include <X11/IntrinsicP.h>
#include <X11/StringDefs.h>
#include <string.h>
#include <wchar.h>

#include "LineSourceP.h"

/*
 * Class Methods
 */
static Boolean LineSourceSetValues(Widget, Widget, Widget, ArgList, Cardinal *);
static int LineSourceReplace(Widget, XawTextPosition, XawTextPosition, XawTextBlock *);

/*
 * Prototypes
 */
static Boolean HoldsLineBreak(const XawTextBlock *);

/*
 * Initialization
 */
#define offset(field) XtOffsetOf(LineSourceRec, line_source.field)
static XtResource resources[] = {
  {
    XtNstringCallback,
    XtCCallback,
    XtRCallback,
    sizeof(XtCallbackList),
    offset(string_callback),
    XtRCallback,
    (XtPointer)NULL
  },
};
#undef offset

#define Superclass (&asciiSrcClassRec)
LineSourceClassRec lineSourceClassRec = {
  /* object */
  {
    (WidgetClass)Superclass,		/* superclass */
    "LineSource",			/* class_name */
    sizeof(LineSourceRec),		/* widget_size */
    NULL,				/* class_initialize */
    NULL,				/* class_part_initialize */
    False,				/* class_inited */
    NULL,				/* initialize */
    NULL,				/* initialize_hook */
    NULL,				/* obj1 */
    NULL,				/* obj2 */
    0,					/* obj3 */
    resources,				/* resources */
    XtNumber(resources),		/* num_resources */
    NULLQUARK,				/* xrm_class */
    False,				/* obj4 */
    False,				/* obj5 */
    False,				/* obj6 */
    False,				/* obj7 */
    NULL,				/* destroy */
    NULL,				/* obj8 */
    NULL,				/* obj9 */
    LineSourceSetValues,		/* set_values */
    NULL,				/* set_values_hook */
    NULL,				/* obj10 */
    NULL,				/* get_values_hook */
    NULL,				/* obj11 */
    XtVersion,				/* version */
    NULL,				/* callback_private */
    NULL,				/* obj12 */
    NULL,				/* obj13 */
    NULL,				/* obj14 */
    NULL,				/* extension */
  },
  /* text_src */
  {
    XtInheritRead,			/* Read */
    LineSourceReplace,			/* Replace */
    XtInheritScan,			/* Scan */
    XtInheritSearch,			/* Search */
    XtInheritSetSelection,		/* SetSelection */
    XtInheritConvertSelection,		/* ConvertSelection */
    NULL,				/* extension */
  },
  /* ascii_src */
  {
    NULL,				/* extension */
  },
  /* line_source */
  {
    NULL,				/* extension */
  }
};

WidgetClass lineSourceObjectClass = (WidgetClass)&lineSourceClassRec;

/*
 * Implementation
 */

/* The AsciiSrc takes a new string in its own set_values; this reports it. */
static Boolean
LineSourceSetValues(Widget current, Widget request, Widget w, ArgList args, Cardinal *num_args)
{
    LineSourceObject src = (LineSourceObject)w;

    for (Cardinal i = 0; i < *num_args; i++)
	if (strcmp(args[i].name, XtNstring) == 0) {
	    XtCallCallbackList(w, src->line_source.string_callback, NULL);
	    break;
	}
    return False;
}

static int
LineSourceReplace(Widget w, XawTextPosition start, XawTextPosition end, XawTextBlock *block)
{
    if (HoldsLineBreak(block))
	return XawEditError;
    return (*Superclass->text_src_class.Replace)(w, start, end, block);
}

static Boolean
HoldsLineBreak(const XawTextBlock *block)
{
    if (!block || !block->ptr || block->length <= 0)
	return False;
    if (block->format == XawFmtWide) {
	const wchar_t *p = (const wchar_t *)block->ptr;
	for (int i = 0; i < block->length; i++)
	    if (p[i] == L'\n' || p[i] == L'\r')
		return True;
	return False;
    }
    return memchr(block->ptr, '\n', block->length) || memchr(block->ptr, '\r', block->length);
}
