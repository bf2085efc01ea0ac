/*
 * FileNominatorWindow: a transient popup shell holding one FileNominator
 * named "filenom". The window resizes in whole list rows (and whole
 * characters with a fixed-width list font), switches caret following of
 * the selector's fields with its keyboard focus and announces
 * WM_DELETE_WINDOW, which it then ignores: the application pops it down.
 */
#ifndef _FileNominatorWindow_h
#define _FileNominatorWindow_h

#include <X11/Intrinsic.h>

#include "FileNominator.h"

/* Resources (besides the TransientShell's):

 Name		     Class		RepType		Default Value
 ----		     -----		-------		-------------
 initialDirectory    InitialDirectory	String		NULL

*/

typedef struct _FileNominatorWindowClassRec *FileNominatorWindowWidgetClass;
typedef struct _FileNominatorWindowRec *FileNominatorWindowWidget;

extern WidgetClass fileNominatorWindowWidgetClass;

/* The FileNominator inside w, or NULL when w is not a FileNominatorWindow. */
Widget FileNominatorWindowGetNominator(Widget w);

#endif /* _FileNominatorWindow_h */
