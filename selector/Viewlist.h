/*
 * Viewlist: a Viewport that holds one List child named "list" and keeps
 * the list at least as large as the visible area. Given its items through
 * ViewlistChange, it shows lists of any length: the List's geometry is 16
 * bits, so a long list is shown a window of rows at a time, and the window
 * moves along the items as the user scrolls towards either of its ends.
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

/*
 * Shows count items in the list, from the first. The array is not copied:
 * it must last until the next change. Does nothing when w is not a
 * Viewlist.
 */
void ViewlistChange(Widget w, String *items, int count);

#endif /* _Viewlist_h */
