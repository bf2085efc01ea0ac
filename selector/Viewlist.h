/*
 * Viewlist: a Viewport that holds one List child named "list" and keeps
 * the list at least as large as the visible area.
 */
#ifndef _Viewlist_h
#define _Viewlist_h

#include <X11/Xaw/Viewport.h>

/* Resources (besides the Viewport's):

 Name		     Class		RepType		Default Value
 ----		     -----		-------		-------------
 listWidget	     ListWidget		Widget		the "list" child (read only)

*/

#define XtNlistWidget "listWidget"
#define XtCListWidget "ListWidget"

typedef struct _ViewlistClassRec *ViewlistWidgetClass;
typedef struct _ViewlistRec *ViewlistWidget;

extern WidgetClass viewlistWidgetClass;

#endif /* _Viewlist_h */
