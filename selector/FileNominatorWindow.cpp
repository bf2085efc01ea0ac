/*
 * FileNominatorWindow: the transient shell around a FileNominator.
 */
#include <X11/IntrinsicP.h>
#include <X11/StringDefs.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/Xaw/List.h>
#include <string.h>

#include "FileNominatorWindowP.h"

/*
 * Class Methods
 */
static void FileNominatorWindowClassInitialize(void);
static void FileNominatorWindowInitialize(Widget, Widget, ArgList, Cardinal *);
static void FileNominatorWindowDestroy(Widget);
static Boolean FileNominatorWindowSetValues(Widget, Widget, Widget, ArgList, Cardinal *);
static void FileNominatorWindowResize(Widget);
static XtGeometryResult FileNominatorWindowGeometryManager(Widget, XtWidgetGeometry *,
							  XtWidgetGeometry *);

/*
 * Prototypes
 */
static void UpdateSizeHints(Widget);

/*
 * Initialization
 */
#define offset(field) XtOffsetOf(FileNominatorWindowRec, file_nominator_window.field)
static XtResource resources[] = {
  {
    XtNinitialDirectory,
    XtCInitialDirectory,
    XtRString,
    sizeof(String),
    offset(initial_directory),
    XtRString,
    (XtPointer)NULL
  },
};
#undef offset

/* The selector's fields follow caret motion only while the window has the keys. */
static XtTranslations focus_translations;

#define Superclass (&transientShellClassRec)
FileNominatorWindowClassRec fileNominatorWindowClassRec = {
  /* core */
  {
    (WidgetClass)Superclass,		/* superclass */
    "FileNominatorWindow",		/* class_name */
    sizeof(FileNominatorWindowRec),	/* widget_size */
    FileNominatorWindowClassInitialize,	/* class_initialize */
    NULL,				/* class_part_initialize */
    False,				/* class_inited */
    FileNominatorWindowInitialize,	/* initialize */
    NULL,				/* initialize_hook */
    XtInheritRealize,			/* realize */
    NULL,				/* actions */
    0,					/* num_actions */
    resources,				/* resources */
    XtNumber(resources),		/* num_resources */
    NULLQUARK,				/* xrm_class */
    False,				/* compress_motion */
    XtExposeCompressSeries,		/* compress_exposure */
    False,				/* compress_enterleave */
    False,				/* visible_interest */
    FileNominatorWindowDestroy,		/* destroy */
    FileNominatorWindowResize,		/* resize */
    NULL,				/* expose */
    FileNominatorWindowSetValues,	/* set_values */
    NULL,				/* set_values_hook */
    XtInheritSetValuesAlmost,		/* set_values_almost */
    NULL,				/* get_values_hook */
    NULL,				/* accept_focus */
    XtVersion,				/* version */
    NULL,				/* callback_private */
    XtInheritTranslations,		/* tm_table */
    NULL,				/* query_geometry */
    NULL,				/* display_accelerator */
    NULL,				/* extension */
  },
  /* composite */
  {
    FileNominatorWindowGeometryManager,	/* geometry_manager */
    XtInheritChangeManaged,		/* change_managed */
    XtInheritInsertChild,		/* insert_child */
    XtInheritDeleteChild,		/* delete_child */
    NULL,				/* extension */
  },
  /* shell */
  {
    NULL,				/* extension */
  },
  /* wm_shell */
  {
    NULL,				/* extension */
  },
  /* vendor_shell */
  {
    NULL,				/* extension */
  },
  /* transient_shell */
  {
    NULL,				/* extension */
  },
  /* file_nominator_window */
  {
    NULL,				/* extension */
  }
};

WidgetClass fileNominatorWindowWidgetClass = (WidgetClass)&fileNominatorWindowClassRec;

/*
 * Implementation
 */
static void
FileNominatorWindowClassInitialize(void)
{
    focus_translations = XtParseTranslationTable(
	"<FocusIn>:scroll-on-movement(True) \n"
	"     <FocusOut>:scroll-on-movement(False)");
}

static void
FileNominatorWindowInitialize(Widget request, Widget w, ArgList args, Cardinal *num_args)
{
    FileNominatorWindowWidget fw = (FileNominatorWindowWidget)w;
    String off[] = {"False"};
    Arg arg;

    /* Kept as a copy: a caller's string may not outlive the call. */
    if (fw->file_nominator_window.initial_directory)
	fw->file_nominator_window.initial_directory =
	    XtNewString(fw->file_nominator_window.initial_directory);
    XtSetArg(arg, XtNinitialDirectory, fw->file_nominator_window.initial_directory);
    fw->file_nominator_window.nominator =
	XtCreateManagedWidget("filenom", fileNominatorWidgetClass, w, &arg, 1);
    XtOverrideTranslations(fw->file_nominator_window.nominator, focus_translations);
    XtCallActionProc(fw->file_nominator_window.nominator, "scroll-on-movement", NULL, off, 1);
}

static void
FileNominatorWindowDestroy(Widget w)
{
    XtFree((char *)((FileNominatorWindowWidget)w)->file_nominator_window.initial_directory);
}

/* A new initialDirectory is kept as a copy too; it no longer reaches the selector. */
static Boolean
FileNominatorWindowSetValues(Widget current, Widget request, Widget w, ArgList args, Cardinal *num_args)
{
    FileNominatorWindowPart *old = &((FileNominatorWindowWidget)current)->file_nominator_window;
    FileNominatorWindowPart *fp = &((FileNominatorWindowWidget)w)->file_nominator_window;

    if (old->initial_directory != fp->initial_directory) {
	String copy = fp->initial_directory ? XtNewString(fp->initial_directory) : NULL;
	XtFree((char *)old->initial_directory);
	fp->initial_directory = copy;
    }
    return False;
}

static void
FileNominatorWindowResize(Widget w)
{
    (*Superclass->core_class.resize)(w);
    UpdateSizeHints(w);
}

static XtGeometryResult
FileNominatorWindowGeometryManager(Widget child, XtWidgetGeometry *request, XtWidgetGeometry *reply)
{
    XtGeometryResult result =
	(*Superclass->composite_class.geometry_manager)(child, request, reply);

    if (result == XtGeometryYes)
	UpdateSizeHints(XtParent(child));
    return result;
}

/*
 * Size hints in whole list rows, and in whole characters when the list's
 * font has one width; and the WM_DELETE_WINDOW protocol.
 */
static void
UpdateSizeHints(Widget w)
{
    FileNominatorWindowWidget fw = (FileNominatorWindowWidget)w;
    Display *dpy = XtDisplay(w);
    Window window = XtWindow(w);

    if (!XtIsRealized(w))
	return;
    Widget list = FileNominatorGetList(fw->file_nominator_window.nominator);
    Widget viewport = FileNominatorGetViewport(fw->file_nominator_window.nominator);
    if (!list || !viewport)
	return;

    XFontStruct *font = NULL;
    Dimension row_spacing = 0, internal_width = 0, internal_height = 0;
    Dimension viewport_width = 0, viewport_height = 0;
    XtVaGetValues(list, XtNfont, &font, XtNrowSpacing, &row_spacing, XtNinternalWidth, &internal_width,
		  XtNinternalHeight, &internal_height, NULL);
    XtVaGetValues(viewport, XtNwidth, &viewport_width, XtNheight, &viewport_height, NULL);
    if (!font)
	return;

    XSizeHints hints;
    long supplied = 0;
    memset(&hints, 0, sizeof hints);
    if (XGetWMNormalHints(dpy, window, &hints, &supplied))
	hints.flags |= PResizeInc | PBaseSize;
    else {
	memset(&hints, 0, sizeof hints);
	hints.flags = PResizeInc | PBaseSize;
    }

    hints.height_inc = font->max_bounds.ascent + font->max_bounds.descent + row_spacing;
    hints.base_height = (int)w->core.height - viewport_height - row_spacing + 2 * internal_height;
    if (font->min_bounds.width == font->max_bounds.width) {
	int scrollbar = 0;
	Widget vertical = XtNameToWidget(viewport, "vertical");
	if (vertical) {
	    Dimension thickness = 0;
	    XtVaGetValues(vertical, XtNthickness, &thickness, NULL);
	    scrollbar = thickness;
	}
	hints.width_inc = font->max_bounds.width;
	hints.base_width = (int)w->core.width - ((int)viewport_width - scrollbar) + 2 * internal_width;
    }
    /* An increment of 0 means nothing to a window manager: step by pixels. */
    if (hints.width_inc <= 0)
	hints.width_inc = 1;
    if (hints.height_inc <= 0)
	hints.height_inc = 1;
    XSetWMNormalHints(dpy, window, &hints);

    Atom delete_window = XInternAtom(dpy, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(dpy, window, &delete_window, 1);
}

Widget
FileNominatorWindowGetNominator(Widget w)
{
    if (!w || !XtIsSubclass(w, fileNominatorWindowWidgetClass))
	return NULL;
    return ((FileNominatorWindowWidget)w)->file_nominator_window.nominator;
}
