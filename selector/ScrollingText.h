/*
 * ScrollingText: a one-line text entry. A Porthole holding one AsciiText
 * child named "text", which is moved and widened inside the porthole so
 * that the insertion caret stays in view.
 */
#ifndef _ScrollingText_h
#define _ScrollingText_h

#include <X11/Xaw/Porthole.h>

/* Resources (besides the Porthole's):

 Name		     Class		RepType		Default Value
 ----		     -----		-------		-------------
 scrollOnMovement    ScrollOnMovement	Boolean		True
 textWidget	     TextWidget		Widget		the "text" child (read only)

 With scrollOnMovement False only edits, and text set by the program,
 make the text follow the caret; with True the caret motion actions of the
 text child do too. The child's source is a LineSource: no edit puts a
 line break into the text.
*/

#define XtNscrollOnMovement "scrollOnMovement"
#define XtCScrollOnMovement "ScrollOnMovement"
#define XtNtextWidget "textWidget"
#define XtCTextWidget "TextWidget"

typedef struct _ScrollingTextClassRec *ScrollingTextWidgetClass;
typedef struct _ScrollingTextRec *ScrollingTextWidget;

extern WidgetClass scrollingTextWidgetClass;

/*
 * Selects the whole text and puts the caret at its end; the next edit
 * (a typed character, a deletion) replaces the text, unless the selection
 * has changed by then. Does nothing when w is not a ScrollingText.
 */
void ScrollingTextSelectAll(Widget w);

#endif /* _ScrollingText_h */
