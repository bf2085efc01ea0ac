/*
 * LineSource: an AsciiSrc that holds one line of text. An edit that would
 * put a newline or carriage return into it is refused (the text widget
 * rings the bell), whatever makes it: a key binding, a quoted character,
 * a paste. Text set through the string resource is taken as given and
 * reported through stringCallback, which the source's own callback (run
 * for edits only) does not do.
 */
#ifndef _LineSource_h
#define _LineSource_h

#include <X11/Xaw/AsciiSrc.h>

/* Resources (besides the AsciiSrc's):

 Name		     Class		RepType		Default Value
 ----		     -----		-------		-------------
 stringCallback	     Callback		Callback	NULL

 stringCallback is called, with NULL call data, after the string resource
 was set.
*/

#define XtNstringCallback "stringCallback"

typedef struct _LineSourceClassRec *LineSourceObjectClass;
typedef struct _LineSourceRec *LineSourceObject;

extern WidgetClass lineSourceObjectClass;

#endif /* _LineSource_h */
