/*
 * Viewlist: a Viewport with one List child, which it stretches to the
 * visible area when the list would be smaller.
 */
#include <X11/IntrinsicP.h>
#include <X11/StringDefs.h>
#include <X11/Xaw/List.h>

#include "ViewlistP.h"

/*
 * Class Methods
 */
static void ViewlistInitialize(Widget, Widget, ArgList, Cardinal *);
static XtGeometryResult ViewlistGeometryManager(Widget, XtWidgetGeometry *, XtWidgetGeometry *);

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
