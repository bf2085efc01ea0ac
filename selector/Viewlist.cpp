/*
 * Viewlist: a Viewport with one List child, which it stretches to the
 * visible area when the list would be smaller.
 */
#include <X11/IntrinsicP.h>
#include <X11/StringDefs.h>
#include <X11/Xaw/List.h>
#include <X11/Xaw/Reports.h>
#include <string.h>

#include "ViewlistP.h"

/*
 * Class Methods
 */
static void ViewlistInitialize(Widget, Widget, ArgList, Cardinal *);
static XtGeometryResult ViewlistGeometryManager(Widget, XtWidgetGeometry *, XtWidgetGeometry *);

/*
 * Prototypes
 */
static int RowHeight(ViewlistWidget, int *);
static void Scrolled(Widget, XtPointer, XtPointer);

/*
 * Initialization
 */
#define offset(field) XtOffsetOf(ViewlistRec, viewlist.field)
static XtResource resources[] = {
  {
    XtNlistWidget,
    XtCListWidget,
    XtRWidget,
    sizeof(Widget),
    offset(list_widget),
    XtRImmediate,
    (XtPointer)NULL
  },
};
#undef offset

#define Superclass (&viewportClassRec)
ViewlistClassRec viewlistClassRec = {
  /* core */
  {
    (WidgetClass)Superclass,		/* superclass */
    "Viewlist",				/* class_name */
    sizeof(ViewlistRec),		/* widget_size */
    NULL,				/* class_initialize */
    NULL,				/* class_part_initialize */
    False,				/* class_inited */
    ViewlistInitialize,			/* initialize */
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
    NULL,				/* destroy */
    XtInheritResize,			/* resize */
    XtInheritExpose,			/* expose */
    NULL,				/* set_values */
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
    ViewlistGeometryManager,		/* geometry_manager */
    XtInheritChangeManaged,		/* change_managed */
    XtInheritInsertChild,		/* insert_child */
    XtInheritDeleteChild,		/* delete_child */
    NULL,				/* extension */
  },
  /* constraint */
  {
    NULL,				/* subresources */
    0,					/* subresource_count */
    sizeof(ViewportConstraintsRec),	/* constraint_size */
    NULL,				/* initialize */
    NULL,				/* destroy */
    NULL,				/* set_values */
    NULL,				/* extension */
  },
  /* form */
  {
    XtInheritLayout,			/* layout */
    NULL,				/* extension */
  },
  /* viewport */
  {
    NULL,				/* extension */
  },
  /* viewlist */
  {
    NULL,				/* extension */
  }
};

WidgetClass viewlistWidgetClass = (WidgetClass)&viewlistClassRec;

/*
 * Implementation
 */
static void
ViewlistInitialize(Widget request, Widget w, ArgList args, Cardinal *num_args)
{
    ViewlistWidget vw = (ViewlistWidget)w;

    vw->viewlist.list_widget = XtCreateManagedWidget("list", listWidgetClass, w, NULL, 0);
    vw->viewlist.items = NULL;
    vw->viewlist.count = vw->viewlist.first = vw->viewlist.window = 0;
    vw->viewlist.moving = False;
    XtAddCallback(w, XtNreportCallback, Scrolled, NULL);
}

/*
 * Passes the list's size wishes on to the Viewlist's parent, never asking
 * for less width than the Viewlist has, and stretches a list smaller than
 * the visible area to fill it. Only the size is forwarded: position,
 * border and stacking of the list are the Viewport's business.
 */
static XtGeometryResult
ViewlistGeometryManager(Widget child, XtWidgetGeometry *request, XtWidgetGeometry *reply)
{
    ViewlistWidget vw = (ViewlistWidget)XtParent(child);
    XtWidgetGeometry geometry, answer;
    XtGeometryResult result;

    /* A window of rows moved along the items is as many rows as before. */
    if (vw->viewlist.moving)
	return XtGeometryNo;

    geometry.request_mode = request->request_mode & (CWWidth | CWHeight | XtCWQueryOnly);
    geometry.width = (request->request_mode & CWWidth) ? request->width : child->core.width;
    geometry.height = (request->request_mode & CWHeight) ? request->height : child->core.height;
    if (geometry.width < vw->core.width) {
	geometry.width = vw->core.width;
	geometry.request_mode |= CWWidth;
    }

    result = XtMakeGeometryRequest((Widget)vw, &geometry, &answer);
    if (result == XtGeometryAlmost && reply) {
	*reply = *request;
	reply->request_mode = request->request_mode & (CWWidth | CWHeight);
	reply->width = answer.width;
	reply->height = answer.height;
    }
    if ((request->request_mode & XtCWQueryOnly) || result != XtGeometryYes)
	return result;

    if (request->request_mode & CWWidth)
	child->core.width = vw->core.width;
    if ((request->request_mode & CWHeight) && geometry.height < vw->core.height)
	child->core.height = vw->core.height;
    return result;
}

/* The height of one row of the list; its internal height in *internal. */
static int
RowHeight(ViewlistWidget vw, int *internal)
{
    XFontStruct *font = NULL;
    Dimension internal_height = 0, row_spacing = 0;

    XtVaGetValues(vw->viewlist.list_widget, XtNfont, &font, XtNinternalHeight, &internal_height,
		  XtNrowSpacing, &row_spacing, NULL);
    *internal = internal_height;
    return font ? font->max_bounds.ascent + font->max_bounds.descent + row_spacing : 0;
}

/*
 * After every scroll (the Viewport's report): when the visible rows come
 * within a quarter of the List's height of an end of its window, and
 * there are items beyond that end, the window is moved to have the
 * visible rows in its middle; the list moves with it, so the same rows
 * stay in view and the highlight stays on its item.
 */
static void
Scrolled(Widget w, XtPointer client_data, XtPointer call_data)
{
    ViewlistWidget vw = (ViewlistWidget)w;
    ViewlistPart *vp = &vw->viewlist;
    XawPannerReport *report = (XawPannerReport *)call_data;
    int internal = 0, row = RowHeight(vw, &internal);

    if (vp->moving || vp->window >= vp->count || row <= 0)
	return;
    int top = report->slider_y, shown = report->slider_height, height = report->canvas_height;
    Boolean near_start = vp->first > 0 && top < height / 4;
    Boolean near_end = vp->first + vp->window < vp->count && top + shown > height - height / 4;
    if (!near_start && !near_end)
	return;

    int top_row = vp->first + (top - internal) / row;
    int first = top_row - (vp->window - shown / row) / 2;
    if (first > vp->count - vp->window)
	first = vp->count - vp->window;
    if (first < 0)
	first = 0;
    if (first == vp->first)
	return;

    XawListReturnStruct *current = XawListShowCurrent(vp->list_widget);
    int highlighted = current->list_index == XAW_LIST_NONE ? -1 : vp->first + current->list_index;
    XtFree((char *)current);

    int longest = 0;
    XtVaGetValues(vp->list_widget, XtNlongest, &longest, NULL);
    top += (vp->first - first) * row;
    vp->first = first;
    vp->moving = True;
    XawListChange(vp->list_widget, vp->items + first, vp->window, longest, False);
    if (highlighted >= first && highlighted < first + vp->window)
	XawListHighlight(vp->list_widget, highlighted - first);
    XawViewportSetCoordinates(w, report->slider_x, (Position)top);
    vp->moving = False;
}

/*
 * Public functions
 */
void
ViewlistChange(Widget w, String *items, int count)
{
    if (!w || !XtIsSubclass(w, viewlistWidgetClass))
	return;
    ViewlistWidget vw = (ViewlistWidget)w;
    ViewlistPart *vp = &vw->viewlist;
    int internal = 0, row = RowHeight(vw, &internal);

    /* Rows that keep the List within the 16-bit positions of its window. */
    int most = row > 0 ? (0x7fff - 2 * internal) / row : count;
    vp->items = items;
    vp->count = count < 0 ? 0 : count;
    vp->first = 0;
    vp->window = vp->count < most ? vp->count : most;
    if (vp->window == vp->count) {
	XawListChange(vp->list_widget, items, vp->count, -1, True);
	return;
    }

    /* As wide as the widest of all the items, whichever the window shows. */
    XFontStruct *font = NULL;
    XtVaGetValues(vp->list_widget, XtNfont, &font, NULL);
    int longest = 0;
    for (int i = 0; font && i < vp->count; i++) {
	int width = XTextWidth(font, items[i], (int)strlen(items[i]));
	if (width > longest)
	    longest = width;
    }
    XawListChange(vp->list_widget, items, vp->window, longest, True);
}
