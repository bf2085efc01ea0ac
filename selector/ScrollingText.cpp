/*
 * ScrollingText: a Porthole with one AsciiText child that follows the
 * insertion caret horizontally.
 */
#include <X11/IntrinsicP.h>
#include <X11/StringDefs.h>
#include <X11/Xaw/AsciiText.h>
#include <X11/Xaw/TextSink.h>
#include <X11/Xaw/TextSrc.h>
#include <X11/Xaw/XawInit.h>
#include <string.h>

#include "LineSource.h"
#include "ScrollingTextP.h"

/*
 * Class Methods
 */
static void ScrollingTextClassInitialize(void);
static void ScrollingTextInitialize(Widget, Widget, ArgList, Cardinal *);
static void ScrollingTextDestroy(Widget);
static Boolean ScrollingTextSetValues(Widget, Widget, Widget, ArgList, Cardinal *);

/*
 * Prototypes
 */
static void FollowCaret(Widget);
static void SourceChanged(Widget, XtPointer, XtPointer);
static Boolean IsOneOf(const char *, const char *const *, Cardinal);
static void MotionHook(Widget, XtPointer, String, XEvent *, String *, Cardinal *);
static void QueueFollow(Widget);
static Boolean DeferredFollow(XtPointer);
static void ReplaceHook(Widget, XtPointer, String, XEvent *, String *, Cardinal *);

/*
 * Initialization
 */
#define offset(field) XtOffsetOf(ScrollingTextRec, scrolling_text.field)
static XtResource resources[] = {
  {
    XtNscrollOnMovement,
    XtCScrollOnMovement,
    XtRBoolean,
    sizeof(Boolean),
    offset(scroll_on_movement),
    XtRImmediate,
    (XtPointer)True
  },
  {
    XtNtextWidget,
    XtCTextWidget,
    XtRWidget,
    sizeof(Widget),
    offset(text_widget),
    XtRImmediate,
    (XtPointer)NULL
  },
};
#undef offset

/* Keeps the field to one line. */
static XtTranslations no_newline_translations;

#define Superclass (&portholeClassRec)
ScrollingTextClassRec scrollingTextClassRec = {
  /* core */
  {
    (WidgetClass)Superclass,		/* superclass */
    "ScrollingText",			/* class_name */
    sizeof(ScrollingTextRec),		/* widget_size */
    ScrollingTextClassInitialize,	/* class_initialize */
    NULL,				/* class_part_initialize */
    False,				/* class_inited */
    ScrollingTextInitialize,		/* initialize */
    NULL,				/* initialize_hook */
    XtInheritRealize,			/* realize */
    NULL,				/* actions */
    0,					/* num_actions */
    resources,				/* resources */
    XtNumber(resources),		/* num_resources */
    NULLQUARK,				/* xrm_class */
    True,				/* compress_motion */
    XtExposeCompressSeries,		/* compress_exposure */
    True,				/* compress_enterleave */
    False,				/* visible_interest */
    ScrollingTextDestroy,		/* destroy */
    XtInheritResize,			/* resize */
    NULL,				/* expose */
    ScrollingTextSetValues,		/* set_values */
    NULL,				/* set_values_hook */
    XtInheritSetValuesAlmost,		/* set_values_almost */
    NULL,				/* get_values_hook */
    NULL,				/* accept_focus */
    XtVersion,				/* version */
    NULL,				/* callback_private */
    NULL,				/* tm_table */
    XtInheritQueryGeometry,		/* query_geometry */
    XtInheritDisplayAccelerator,	/* display_accelerator */
    NULL,				/* extension */
  },
  /* composite */
  {
    XtInheritGeometryManager,		/* geometry_manager */
    XtInheritChangeManaged,		/* change_managed */
    XtInheritInsertChild,		/* insert_child */
    XtInheritDeleteChild,		/* delete_child */
    NULL,				/* extension */
  },
  /* porthole */
  {
    NULL,				/* extension */
  },
  /* scrolling_text */
  {
    NULL,				/* extension */
  }
};

WidgetClass scrollingTextWidgetClass = (WidgetClass)&scrollingTextClassRec;

/* The text widget actions that move the caret without editing. */
static const char *const motion_actions[] = {
    "forward-character", "backward-character", "forward-word",
    "backward-word", "beginning-of-line", "end-of-line",
};

/* The text widget actions that edit where the caret stands. */
static const char *const edit_actions[] = {
    "insert-char", "insert-string", "insert-selection", "delete-previous-character",
    "delete-next-character", "delete",
};

/*
 * Implementation
 */
static void
ScrollingTextClassInitialize(void)
{
    XawInitializeWidgetSet();
    no_newline_translations =
	XtParseTranslationTable("<Key>Return:no-op() \n <Key>Linefeed:no-op()");
}

static void
ScrollingTextInitialize(Widget request, Widget w, ArgList args, Cardinal *num_args)
{
    ScrollingTextWidget stw = (ScrollingTextWidget)w;
    XFontStruct *font = NULL;
    Widget text;

    text = XtCreateManagedWidget("text", asciiTextWidgetClass, w, NULL, 0);
    stw->scrolling_text.text_widget = text;
    XtOverrideTranslations(text, no_newline_translations);

    /*
     * The text keeps to one line whatever edits it; and text set by the
     * program is followed as well as text typed.
     */
    Widget source = XtCreateWidget("textSource", lineSourceObjectClass, text, NULL, 0);
    XawTextSetSource(text, source, 0);	/* destroys the source it replaces */
    XtAddCallback(source, XtNcallback, SourceChanged, NULL);
    XtAddCallback(source, XtNstringCallback, SourceChanged, NULL);

    stw->scrolling_text.action_hook = NULL;
    if (stw->scrolling_text.scroll_on_movement)
	stw->scrolling_text.action_hook =
	    XtAppAddActionHook(XtWidgetToApplicationContext(w), MotionHook, (XtPointer)text);

    XtVaGetValues(text, XtNfont, &font, NULL);
    stw->scrolling_text.char_width = font ? font->max_bounds.width : 0;
    if (stw->core.width == 0)
	stw->core.width = text->core.width;
    if (stw->core.height == 0)
	stw->core.height = text->core.height;

    stw->scrolling_text.pending_work = 0;
    stw->scrolling_text.replace_hook = NULL;
}

static void
ScrollingTextDestroy(Widget w)
{
    ScrollingTextWidget stw = (ScrollingTextWidget)w;

    if (stw->scrolling_text.action_hook)
	XtRemoveActionHook(stw->scrolling_text.action_hook);
    /* The text child is gone: a follow still queued must not run. */
    if (stw->scrolling_text.pending_work)
	XtRemoveWorkProc(stw->scrolling_text.pending_work);
    if (stw->scrolling_text.replace_hook)
	XtRemoveActionHook(stw->scrolling_text.replace_hook);
}

static Boolean
ScrollingTextSetValues(Widget current, Widget request, Widget w, ArgList args, Cardinal *num_args)
{
    ScrollingTextWidget old = (ScrollingTextWidget)current;
    ScrollingTextWidget stw = (ScrollingTextWidget)w;

    /* The child is made once; the resource only reports it. */
    stw->scrolling_text.text_widget = old->scrolling_text.text_widget;

    if (old->scrolling_text.scroll_on_movement != stw->scrolling_text.scroll_on_movement) {
	if (stw->scrolling_text.scroll_on_movement) {
	    if (!stw->scrolling_text.action_hook)
		stw->scrolling_text.action_hook =
		    XtAppAddActionHook(XtWidgetToApplicationContext(w), MotionHook,
				       (XtPointer)stw->scrolling_text.text_widget);
	} else if (stw->scrolling_text.action_hook) {
	    XtRemoveActionHook(stw->scrolling_text.action_hook);
	    stw->scrolling_text.action_hook = NULL;
	}
    }
    return False;
}

/*
 * Places the text so that the caret stands within the porthole: at the
 * left edge while it fits, else one to two cells before the right edge.
 * The text is kept a whole number of cells wide, at least one more than
 * it needs. At the left edge it stands at x = -1, its border out of view.
 */
static void
FollowCaret(Widget source)
{
    Widget text = XtParent(source);
    ScrollingTextWidget stw = (ScrollingTextWidget)XtParent(text);
    Widget sink = NULL;
    Position left_margin = 0;
    XawTextPosition ip, end, pos;
    int caret = 0, total = 0, height;
    Arg args[2];

    XtVaGetValues(text, XtNtextSource, &source, XtNtextSink, &sink, XtNleftMargin, &left_margin, NULL);
    if (!source || !sink)
	return;

    /* A font without width would divide by zero: step by one pixel. */
    int cw = (unsigned short)stw->scrolling_text.char_width;
    if (cw == 0)
	cw = 1;

    ip = XawTextGetInsertionPoint(text);
    end = XawTextSourceScan(source, ip, XawstAll, XawsdRight, 1, True);
    XawTextSinkFindDistance(sink, 0, left_margin, ip, &caret, &pos, &height);
    XawTextSinkFindDistance(sink, 0, left_margin, end, &total, &pos, &height);

    int x = (int)stw->core.width - cw * (caret / cw + 2);
    if (x > 0)
	x = -1;
    /*
     * The Porthole never leaves its right edge uncovered: a narrower text
     * would be pushed right, off the place chosen for it. So the text
     * reaches at least to that edge, in whole cells.
     */
    int width = cw * (total / cw + 1);
    int cover = (int)stw->core.width - x;
    if (width < cover)
	width = cw * ((cover + cw - 1) / cw);

    XtSetArg(args[0], XtNx, (XtArgVal)(Position)x);
    XtSetArg(args[1], XtNwidth, (XtArgVal)(Dimension)(width > 0xffff ? 0xffff : width));
    XtSetValues(text, args, 2);
}

/*
 * Every edit of the text, and every text set by the program. The text
 * widget moves its caret only after the source has called back, and
 * changing the widget's geometry from inside the edit loses the caret's
 * move; a program that sets the text puts the caret after it: so these,
 * too, follow once the event loop is idle.
 */
static void
SourceChanged(Widget source, XtPointer client_data, XtPointer call_data)
{
    QueueFollow(XtParent(source));
}

/*
 * Runs before the action moves the caret, so the follow waits for the
 * event loop to be idle.
 */
static Boolean
IsOneOf(const char *action, const char *const *names, Cardinal count)
{
    for (Cardinal i = 0; i < count; i++)
	if (strcmp(action, names[i]) == 0)
	    return True;
    return False;
}

static void
MotionHook(Widget w, XtPointer client_data, String action, XEvent *event, String *params,
	   Cardinal *num_params)
{
    if (w != (Widget)client_data)
	return;
    if (IsOneOf(action, motion_actions, XtNumber(motion_actions)))
	QueueFollow(w);
}

/* One queued follow serves a burst of edits and motions. */
static void
QueueFollow(Widget text)
{
    ScrollingTextWidget stw = (ScrollingTextWidget)XtParent(text);

    if (!stw->scrolling_text.pending_work)
	stw->scrolling_text.pending_work =
	    XtAppAddWorkProc(XtWidgetToApplicationContext(text), DeferredFollow, (XtPointer)text);
}

static Boolean
DeferredFollow(XtPointer client_data)
{
    Widget text = (Widget)client_data;
    ScrollingTextWidget stw = (ScrollingTextWidget)XtParent(text);

    FollowCaret(XawTextGetSource(text));
    stw->scrolling_text.pending_work = 0;
    return True;
}

/*
 * Runs before the first edit after ScrollingTextSelectAll: while the whole
 * text is still selected it is removed, so the edit replaces it. Then the
 * hook goes, whatever the edit.
 */
static void
ReplaceHook(Widget w, XtPointer client_data, String action, XEvent *event, String *params,
	    Cardinal *num_params)
{
    Widget text = (Widget)client_data;
    ScrollingTextWidget stw = (ScrollingTextWidget)XtParent(text);
    XawTextPosition left = 0, right = 0;

    if (w != text || !IsOneOf(action, edit_actions, XtNumber(edit_actions)))
	return;
    XtRemoveActionHook(stw->scrolling_text.replace_hook);
    stw->scrolling_text.replace_hook = NULL;

    XawTextPosition end = XawTextSourceScan(XawTextGetSource(text), 0, XawstAll, XawsdRight, 1, True);
    XawTextGetSelectionPos(text, &left, &right);
    if (left != 0 || right != end || end == 0)
	return;
    XawTextBlock nothing = {0, 0, NULL, XawFmt8Bit};
    XawTextUnsetSelection(text);
    XawTextReplace(text, 0, end, &nothing);
    XawTextSetInsertionPoint(text, 0);
}

/*
 * Public functions
 */
void
ScrollingTextSelectAll(Widget w)
{
    if (!w || !XtIsSubclass(w, scrollingTextWidgetClass))
	return;
    ScrollingTextWidget stw = (ScrollingTextWidget)w;
    Widget text = stw->scrolling_text.text_widget;
    XawTextPosition end = XawTextSourceScan(XawTextGetSource(text), 0, XawstAll, XawsdRight, 1, True);

    XawTextSetInsertionPoint(text, end);
    XawTextSetSelection(text, 0, end);
    if (!stw->scrolling_text.replace_hook)
	stw->scrolling_text.replace_hook =
	    XtAppAddActionHook(XtWidgetToApplicationContext(w), ReplaceHook, (XtPointer)text);
}
