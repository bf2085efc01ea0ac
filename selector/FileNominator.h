/*
 * FileNominator: a file selector. It lists the current directory through
 * a filter, lets the user pick or type a name (absolute, relative, "~",
 * "~user" or "$VAR" first) and nominates it: a directory is entered, a
 * file is reported through selectCallback. It never pops itself down.
 */
#ifndef _FileNominator_h
#define _FileNominator_h

#include <X11/Intrinsic.h>

/* Resources (besides the Composite's):

 Name		     Class		RepType		Default Value
 ----		     -----		-------		-------------
 initialDirectory    InitialDirectory	String		NULL (working directory)
 selectCallback	     Callback		Callback	NULL
 pathList	     PathList		String		NULL
 cancelCallback	     Callback		Callback	NULL
 margin		     Margin		Dimension	10
 numberRows	     NumberStrings	int		12
 showDotFiles	     ShowDotFiles	Boolean		True
 bellLevel	     BellLevel		int		100
 filter		     Filter		String		"*"
 filterDirectoryNames FilterDirectoryNames Boolean	True

 selectCallback gets a FileNominatorSelection; cancelCallback gets NULL.
 pathList holds favourite paths separated by ':' for the Path menu.
 initialDirectory, pathList and filter are copied. Setting margin or
 numberRows lays the selector out again and asks for the height that
 holds numberRows rows (or the present rows within the new margins).

 Children: "viewport" (Viewlist), "Filter" (MenuButton), "filter" and
 "filename" (ScrollingText), "select" (Command), "path" (MenuButton),
 "cancel" (Command).
*/

#define XtNinitialDirectory "initialDirectory"
#define XtCInitialDirectory "InitialDirectory"
#define XtNselectCallback "selectCallback"
#define XtNpathList "pathList"
#define XtCPathList "PathList"
#ifndef XtNcancelCallback
#define XtNcancelCallback "cancelCallback"
#endif
#ifndef XtNmargin
#define XtNmargin "margin"
#endif
#ifndef XtCMargin
#define XtCMargin "Margin"
#endif
#define XtNnumberRows "numberRows"
#ifndef XtCNumberStrings
#define XtCNumberStrings "NumberStrings"
#endif
#define XtNshowDotFiles "showDotFiles"
#define XtCShowDotFiles "ShowDotFiles"
#define XtNbellLevel "bellLevel"
#define XtCBellLevel "BellLevel"
#define XtNfilter "filter"
#define XtCFilter "Filter"
#define XtNfilterDirectoryNames "filterDirectoryNames"
#define XtCFilterDirectoryNames "FilterDirectoryNames"

/*
 * The call data of selectCallback. The strings belong to the widget and
 * last until the next nomination; directory + filename is the full path.
 */
typedef struct {
    String directory;		/* absolute, ending in '/' */
    int directory_error;	/* 0, or errno of the read test */
    String filename;		/* no '/' */
    int filename_error;		/* 0, or errno of the read test (ENOENT: new) */
} FileNominatorSelection;

typedef struct _FileNominatorClassRec *FileNominatorWidgetClass;
typedef struct _FileNominatorRec *FileNominatorWidget;

extern WidgetClass fileNominatorWidgetClass;

/*
 * Each function does nothing, and returns NULL, when w is not a
 * FileNominator.
 */

/* The current directory, ending in '/'; valid until it changes. */
String FileNominatorGetDirectory(Widget w);

/*
 * Lists directory (a '/' is added when missing; "" is "/"). The name field
 * is emptied. A directory too long for the system rings the bell instead.
 */
void FileNominatorSetDirectory(Widget w, const char *directory);

/* Empties the name field and unhighlights the list. */
void FileNominatorClearName(Widget w);

/*
 * Selects the text of the name field, so that typing replaces it: for a
 * name the application could not use.
 */
void FileNominatorSelectName(Widget w);

/* The "viewport" Viewlist and its List. */
Widget FileNominatorGetViewport(Widget w);
Widget FileNominatorGetList(Widget w);

#endif /* _FileNominator_h */
