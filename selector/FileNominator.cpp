/*
 * FileNominator: the file selector. A Composite whose seven children are
 * never managed: the selector places them itself at every layout.
 */
#include <X11/IntrinsicP.h>
#include <X11/StringDefs.h>
#include <X11/Xaw/AsciiText.h>
#include <X11/Xaw/Command.h>
#include <X11/Xaw/List.h>
#include <X11/Xaw/MenuButton.h>
#include <X11/Xaw/SimpleMenu.h>
#include <X11/Xaw/SmeBSB.h>
#include <X11/Xaw/SmeLine.h>
#include <X11/Xaw/Viewport.h>
#include <X11/Xaw/XawInit.h>
#include <errno.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "FileNominatorP.h"
#include "ScrollingText.h"
#include "Viewlist.h"

/*
 * Class Methods
 */
static void FileNominatorClassInitialize(void);
static void FileNominatorInitialize(Widget, Widget, ArgList, Cardinal *);
static void FileNominatorRealize(Widget, XtValueMask *, XSetWindowAttributes *);
static void FileNominatorDestroy(Widget);
static void FileNominatorResize(Widget);
static Boolean FileNominatorSetValues(Widget, Widget, Widget, ArgList, Cardinal *);

/*
 * Prototypes
 */
static FileNominatorWidget FindNominator(Widget);
static FileNominatorWidget ButtonNominator(Widget);
static void Bell(FileNominatorWidget);
static void SetText(Widget, const char *);
static Boolean SetCurrentDirectory(FileNominatorWidget, const char *);
static void KeepCopy(String, String *);
static Dimension SizeOf(int);
static void ScanDirectory(FileNominatorWidget);
static void SizeViewport(FileNominatorWidget);
static void PreferredSize(FileNominatorWidget, int *, int *);
static void WatchEdits(FileNominatorWidget);
static void Relist(FileNominatorWidget);
static void NominateFile(FileNominatorWidget, const char *);
static void ListSelected(Widget, XtPointer, XtPointer);
static void EditWatcher(Widget, XtPointer, XtPointer);
static void CancelPressed(Widget, XtPointer, XtPointer);
static void DestroyMenu(Widget, XtPointer, XtPointer);
static void DirectoryEntrySelected(Widget, XtPointer, XtPointer);
static void PathListEntrySelected(Widget, XtPointer, XtPointer);
static void FilterEntrySelected(Widget, XtPointer, XtPointer);

/*
 * Actions
 */
static void MakeMenu(Widget, XEvent *, String *, Cardinal *);
static void FocusToFilter(Widget, XEvent *, String *, Cardinal *);
static void Filter(Widget, XEvent *, String *, Cardinal *);
static void MakeFilterMenu(Widget, XEvent *, String *, Cardinal *);
static void Nominate(Widget, XEvent *, String *, Cardinal *);
static void ToggleDotFiles(Widget, XEvent *, String *, Cardinal *);
static void ToggleFilterDirectories(Widget, XEvent *, String *, Cardinal *);
static void ScrollOnMovement(Widget, XEvent *, String *, Cardinal *);

/*
 * Initialization
 */
#define offset(field) XtOffsetOf(FileNominatorRec, file_nominator.field)
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
  {
    XtNselectCallback,
    XtCCallback,
    XtRCallback,
    sizeof(XtCallbackList),
    offset(select_callback),
    XtRCallback,
    (XtPointer)NULL
  },
  {
    XtNpathList,
    XtCPathList,
    XtRString,
    sizeof(String),
    offset(path_list),
    XtRString,
    (XtPointer)NULL
  },
  {
    XtNcancelCallback,
    XtCCallback,
    XtRCallback,
    sizeof(XtCallbackList),
    offset(cancel_callback),
    XtRCallback,
    (XtPointer)NULL
  },
  {
    XtNmargin,
    XtCMargin,
    XtRDimension,
    sizeof(Dimension),
    offset(margin),
    XtRImmediate,
    (XtPointer)10
  },
  {
    XtNnumberRows,
    XtCNumberStrings,
    XtRInt,
    sizeof(int),
    offset(number_rows),
    XtRImmediate,
    (XtPointer)12
  },
  {
    XtNshowDotFiles,
    XtCShowDotFiles,
    XtRBoolean,
    sizeof(Boolean),
    offset(show_dot_files),
    XtRImmediate,
    (XtPointer)True
  },
  {
    XtNbellLevel,
    XtCBellLevel,
    XtRInt,
    sizeof(int),
    offset(bell_level),
    XtRImmediate,
    (XtPointer)100
  },
  {
    XtNfilter,
    XtCFilter,
    XtRString,
    sizeof(String),
    offset(filter),
    XtRString,
    (XtPointer)"*"
  },
  {
    XtNfilterDirectoryNames,
    XtCFilterDirectoryNames,
    XtRBoolean,
    sizeof(Boolean),
    offset(filter_directory_names),
    XtRImmediate,
    (XtPointer)True
  },
};
#undef offset

static XtActionsRec actions[] = {
    {"scroll-on-movement",	ScrollOnMovement},
};

/* Registered for the whole application by every FileNominator. */
static XtActionsRec global_actions[] = {
    {"MakeMenu",		MakeMenu},
    {"FocusToFilter",		FocusToFilter},
    {"Filter",			Filter},
    {"MakeFilterMenu",		MakeFilterMenu},
    {"Nominate",		Nominate},
    {"ToggleDotFiles",		ToggleDotFiles},
    {"ToggleFilterDirectories",	ToggleFilterDirectories},
};

static XtTranslations list_translations;
static XtTranslations filter_button_translations;
static XtTranslations filter_field_translations;
static XtTranslations filename_field_translations;
static XtTranslations select_translations;
static XtTranslations path_translations;

/* The check mark beside active filter options: one per process. */
#define check_width 9
#define check_height 8
static const unsigned char check_bits[] = {
    0x00, 0x01, 0x80, 0x01, 0xc0, 0x00, 0x60, 0x00,
    0x31, 0x00, 0x1b, 0x00, 0x0e, 0x00, 0x04, 0x00,
};
static Pixmap check_mark = None;

#define Superclass (&compositeClassRec)
FileNominatorClassRec fileNominatorClassRec = {
  /* core */
  {
    (WidgetClass)Superclass,		/* superclass */
    "FileNominator",			/* class_name */
    sizeof(FileNominatorRec),		/* widget_size */
    FileNominatorClassInitialize,	/* class_initialize */
    NULL,				/* class_part_initialize */
    False,				/* class_inited */
    FileNominatorInitialize,		/* initialize */
    NULL,				/* initialize_hook */
    FileNominatorRealize,		/* realize */
    actions,				/* actions */
    XtNumber(actions),			/* num_actions */
    resources,				/* resources */
    XtNumber(resources),		/* num_resources */
    NULLQUARK,				/* xrm_class */
    True,				/* compress_motion */
    XtExposeCompressMultiple,		/* compress_exposure */
    True,				/* compress_enterleave */
    False,				/* visible_interest */
    FileNominatorDestroy,		/* destroy */
    FileNominatorResize,		/* resize */
    NULL,				/* expose */
    FileNominatorSetValues,		/* set_values */
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
  /* file_nominator */
  {
    NULL,				/* extension */
  }
};

WidgetClass fileNominatorWidgetClass = (WidgetClass)&fileNominatorClassRec;

/*
 * Implementation
 */
static void
FileNominatorClassInitialize(void)
{
    XawInitializeWidgetSet();
    list_translations = XtParseTranslationTable(
	"<Btn1Up>(2):         Set() Nominate() Unset()\n"
	"     <Btn1Down>,<Btn1Up>: Set() Notify() \n"
	"     <Btn2Up>:            Set() Notify() Nominate() Unset()");
    filter_button_translations = XtParseTranslationTable(
	"<BtnDown>:           reset() MakeFilterMenu() PopupMenu()");
    filter_field_translations = XtParseTranslationTable(
	"<Enter>:             FocusToFilter() \n"
	"     <Leave>:             FocusToFilter(False) \n"
	"     <Key>Return:         Filter()");
    filename_field_translations = XtParseTranslationTable(
	"<Key>Return: Nominate() \n"
	"      <Key>Escape: ToggleDotFiles()");
    select_translations = XtParseTranslationTable(
	"<Btn1Up>: Nominate() unset()");
    path_translations = XtParseTranslationTable(
	"<BtnDown>:reset() MakeMenu() XawPositionSimpleMenu(menu) MenuPopup(menu)");
}

static Widget
TextChild(Widget scrolling_text)
{
    Widget text = NULL;

    XtVaGetValues(scrolling_text, XtNtextWidget, &text, NULL);
    return text;
}

static void
FileNominatorInitialize(Widget request, Widget w, ArgList args, Cardinal *num_args)
{
    FileNominatorWidget fw = (FileNominatorWidget)w;
    FileNominatorPart *fp = &fw->file_nominator;
    const char *start = NULL;
    char cwd[DirScanPathMax];
    struct stat st;
    Arg arglist[4];
    Cardinal n;

    /* The strings kept are copies: a caller's may not outlive the call. */
    if (fp->initial_directory)
	fp->initial_directory = XtNewString(fp->initial_directory);
    if (fp->path_list)
	fp->path_list = XtNewString(fp->path_list);
    if (fp->filter)
	fp->filter = XtNewString(fp->filter);

    fp->items = NULL;
    fp->selection.directory = NULL;
    fp->selection.directory_error = 0;
    fp->selection.filename = NULL;
    fp->selection.filename_error = 0;
    fp->current_directory[0] = '\0';
    fp->filter_menu = fp->directories_entry = fp->dot_files_entry = NULL;
    fp->watching_edits = False;

    if (fp->initial_directory && fp->initial_directory[0] && stat(fp->initial_directory, &st) == 0
	&& S_ISDIR(st.st_mode) && access(fp->initial_directory, R_OK) == 0)
	start = fp->initial_directory;
    if (!start || !SetCurrentDirectory(fw, start)) {
	const char *home = getenv("HOME");
	if (!(getcwd(cwd, sizeof cwd) && SetCurrentDirectory(fw, cwd))
	    && !(home && SetCurrentDirectory(fw, home)))
	    SetCurrentDirectory(fw, "/");
    }

    n = 0;
    XtSetArg(arglist[n], XtNallowVert, True); n++;
    fp->viewport = XtCreateWidget("viewport", viewlistWidgetClass, w, arglist, n);
    XtVaGetValues(fp->viewport, XtNlistWidget, &fp->list, NULL);
    n = 0;
    XtSetArg(arglist[n], XtNdefaultColumns, 1); n++;
    XtSetArg(arglist[n], XtNforceColumns, True); n++;
    XtSetValues(fp->list, arglist, n);
    XtOverrideTranslations(fp->list, list_translations);
    XtAddCallback(fp->list, XtNcallback, ListSelected, (XtPointer)fw);

    fp->filter_button = XtCreateWidget("Filter", menuButtonWidgetClass, w, NULL, 0);
    XtOverrideTranslations(fp->filter_button, filter_button_translations);

    fp->filter_text = XtCreateWidget("filter", scrollingTextWidgetClass, w, NULL, 0);
    Widget filter_field = TextChild(fp->filter_text);
    n = 0;
    XtSetArg(arglist[n], XtNeditType, XawtextEdit); n++;
    XtSetArg(arglist[n], XtNstring, fp->filter ? fp->filter : ""); n++;
    XtSetArg(arglist[n], XtNdisplayCaret, False); n++;
    XtSetValues(filter_field, arglist, n);
    XtOverrideTranslations(filter_field, filter_field_translations);

    fp->filename_text = XtCreateWidget("filename", scrollingTextWidgetClass, w, NULL, 0);
    fp->filename_field = TextChild(fp->filename_text);
    n = 0;
    XtSetArg(arglist[n], XtNeditType, XawtextEdit); n++;
    XtSetValues(fp->filename_field, arglist, n);
    XtOverrideTranslations(fp->filename_field, filename_field_translations);
    XtSetKeyboardFocus(w, fp->filename_field);
    WatchEdits(fw);

    fp->select_button = XtCreateWidget("select", commandWidgetClass, w, NULL, 0);
    XtOverrideTranslations(fp->select_button, select_translations);
    fp->path_button = XtCreateWidget("path", menuButtonWidgetClass, w, NULL, 0);
    XtOverrideTranslations(fp->path_button, path_translations);

    XtAppAddActions(XtWidgetToApplicationContext(w), global_actions, XtNumber(global_actions));
    XawSimpleMenuAddGlobalActions(XtWidgetToApplicationContext(w));

    fp->cancel_button = XtCreateWidget("cancel", commandWidgetClass, w, NULL, 0);
    XtAddCallback(fp->cancel_button, XtNcallback, CancelPressed, (XtPointer)fw);

    ScanDirectory(fw);

    int width, height;
    PreferredSize(fw, &width, &height);
    if (fw->core.width == 0)
	fw->core.width = SizeOf(width);
    if (fw->core.height == 0)
	fw->core.height = SizeOf(height);

    FileNominatorResize(w);
}

static void
FileNominatorRealize(Widget w, XtValueMask *mask, XSetWindowAttributes *attributes)
{
    FileNominatorPart *fp = &((FileNominatorWidget)w)->file_nominator;
    Widget children[] = {
	fp->viewport, fp->filter_button, fp->filter_text, fp->filename_text,
	fp->select_button, fp->path_button, fp->cancel_button,
    };

    (*Superclass->core_class.realize)(w, mask, attributes);
    for (Cardinal i = 0; i < XtNumber(children); i++)
	XtRealizeWidget(children[i]);
    XMapSubwindows(XtDisplay(w), XtWindow(w));
}

/*
 * The toolkit destroys the children, and with them the keyboard focus
 * they hold, before it calls this: touching them here would read freed
 * memory. What is left is what initialize allocated.
 */
static void
FileNominatorDestroy(Widget w)
{
    FileNominatorPart *fp = &((FileNominatorWidget)w)->file_nominator;

    FreeDirectoryList(fp->items);
    XtFree((char *)fp->selection.directory);
    XtFree((char *)fp->selection.filename);
    XtFree((char *)fp->initial_directory);
    XtFree((char *)fp->path_list);
    XtFree((char *)fp->filter);
}

/* Sizes below 1 would be refused by the server: a crowded selector clips. */
static Dimension
SizeOf(int size)
{
    return (Dimension)(size < 1 ? 1 : size > 0xffff ? 0xffff : size);
}

static void
Configure(Widget w, int x, int y, int width, int height, int border)
{
    XtConfigureWidget(w, (Position)x, (Position)y, SizeOf(width), SizeOf(height), (Dimension)border);
}

#define W(x) ((int)(x)->core.width)
#define H(x) ((int)(x)->core.height)
#define B(x) ((int)(x)->core.border_width)

/*
 * The outer heights of the rows under the list, as the layout gives them:
 * the filter row (the filter field's), the name field and the buttons
 * (the Select button's). The preferred size is made of the same rows.
 */
typedef struct {
    int filter, name, buttons;
} RowHeights;

static RowHeights
Rows(FileNominatorPart *fp)
{
    RowHeights rows;

    rows.filter = H(fp->filter_text) + 2 * B(fp->filter_text);
    rows.name = H(fp->filename_field) + 2 * B(fp->filename_text);
    rows.buttons = H(fp->select_button) + 2 * B(fp->select_button);
    return rows;
}

/*
 * The size at which the layout shows the viewport at its present height
 * and every row of controls at its own width: the filter row, the name
 * field, the three buttons side by side. (A field made without a size
 * takes its text's, so at creation the name field is as wide as its text.)
 */
static void
PreferredSize(FileNominatorWidget fw, int *width, int *height)
{
    FileNominatorPart *fp = &fw->file_nominator;
    int M = fp->margin;
    Widget fb = fp->filter_button, ft = fp->filter_text, fn = fp->filename_text;
    Widget sel = fp->select_button, path = fp->path_button, cancel = fp->cancel_button;
    RowHeights rows = Rows(fp);

    int filter_row = W(fb) + 2 * B(fb) + W(ft) + 2 * B(ft) + 3 * M;
    int name_row = W(fn) + 2 * B(fn) + 2 * M;
    int button_row = W(sel) + W(path) + W(cancel) + 2 * (B(sel) + B(path) + B(cancel)) + 4 * M;
    *width = filter_row > name_row ? filter_row : name_row;
    if (button_row > *width)
	*width = button_row;
    *height = 5 * M + H(fp->viewport) + 2 * B(fp->viewport) + rows.filter + rows.name + rows.buttons;
}

/*
 * The layout: the list on top, the filter row under it, then the name
 * field, then the buttons, with the margin at every edge and between.
 */
static void
FileNominatorResize(Widget w)
{
    FileNominatorWidget fw = (FileNominatorWidget)w;
    FileNominatorPart *fp = &fw->file_nominator;
    int M = fp->margin, Wd = fw->core.width, Ht = fw->core.height;
    Widget vp = fp->viewport, fb = fp->filter_button, ft = fp->filter_text;
    Widget fn = fp->filename_text, fnt = fp->filename_field;
    Widget sel = fp->select_button, path = fp->path_button, cancel = fp->cancel_button;
    RowHeights rows = Rows(fp);
    int Fh = rows.filter, Nh = rows.name, Sh = rows.buttons;

    Configure(vp, M, M, Wd - 2 * M - 2 * B(vp), Ht - 5 * M - Fh - Nh - Sh - 2 * B(vp), B(vp));
    Configure(fb, M, Ht - 3 * M - Nh - Sh - H(fb) - 2 * B(fb), W(fb), H(fb), B(fb));
    Configure(ft, 2 * M + W(fb) + 2 * B(fb), Ht - 3 * M - Nh - Sh - Fh,
	      Wd - 3 * M - W(fb) - 2 * B(fb) - 2 * B(ft), H(ft), B(ft));
    Configure(fn, M, Ht - 2 * M - Nh - Sh, Wd - 2 * M - 2 * B(fn), H(fnt), B(fn));
    XtMoveWidget(sel, (Position)M, (Position)(Ht - M - Sh));
    XtMoveWidget(path, (Position)(2 * M + W(sel) + 2 * B(sel)), (Position)(Ht - M - Sh));
    XtMoveWidget(cancel, (Position)(3 * M + W(sel) + 2 * B(sel) + W(path) + 2 * B(path)),
		 (Position)(Ht - M - Sh));
}
#undef W
#undef H
#undef B

static void
SetCheck(Widget entry, Boolean on)
{
    Arg arg;

    XtSetArg(arg, XtNleftBitmap, on ? check_mark : None);
    XtSetValues(entry, &arg, 1);
}

/* A string resource set anew: the copy of the old gives way to a copy of the new. */
static void
KeepCopy(String old, String *value)
{
    String copy = *value ? XtNewString(*value) : NULL;

    XtFree((char *)old);
    *value = copy;
}

static Boolean
FileNominatorSetValues(Widget current, Widget request, Widget w, ArgList args, Cardinal *num_args)
{
    FileNominatorWidget fw = (FileNominatorWidget)w;
    FileNominatorPart *old = &((FileNominatorWidget)current)->file_nominator;
    FileNominatorPart *fp = &fw->file_nominator;
    Boolean relist = False, layout = False;

    if (old->initial_directory != fp->initial_directory)
	KeepCopy(old->initial_directory, &fp->initial_directory);
    if (old->path_list != fp->path_list)
	KeepCopy(old->path_list, &fp->path_list);
    /* Compared as pointers: setting the same text again puts it back. */
    if (old->filter != fp->filter) {
	KeepCopy(old->filter, &fp->filter);
	SetText(TextChild(fp->filter_text), fp->filter ? fp->filter : "");
	relist = True;
    }
    if (old->filter_directory_names != fp->filter_directory_names) {
	if (fp->filter_menu)
	    SetCheck(fp->directories_entry, fp->filter_directory_names);
	relist = True;
    }
    if (old->show_dot_files != fp->show_dot_files) {
	if (fp->filter_menu)
	    SetCheck(fp->dot_files_entry, fp->show_dot_files);
	relist = True;
    }

    /*
     * New margins keep the list's rows and the fields' widths; a new
     * numberRows gives the list that many rows. Either asks for the size
     * that holds them, unless the caller asked for a size of its own. The
     * children are placed for the size the selector has: if the parent
     * grants the new one, the toolkit runs the layout again.
     */
    if (old->number_rows != fp->number_rows)
	SizeViewport(fw);
    if (old->margin != fp->margin || old->number_rows != fp->number_rows) {
	int width, height;
	PreferredSize(fw, &width, &height);
	if (request->core.width == current->core.width)
	    fw->core.width = SizeOf(width);
	if (request->core.height == current->core.height)
	    fw->core.height = SizeOf(height);
	layout = True;
    }

    if (relist || layout) {
	Dimension width = fw->core.width, height = fw->core.height;
	fw->core.width = current->core.width;
	fw->core.height = current->core.height;
	if (relist)
	    Relist(fw);
	else
	    FileNominatorResize(w);
	fw->core.width = width;
	fw->core.height = height;
    }
    return False;
}

/*
 * Helpers
 */

/* The nearest FileNominator above w (w itself is not tested). */
static FileNominatorWidget
FindNominator(Widget w)
{
    for (Widget p = w ? XtParent(w) : NULL; p; p = XtParent(p))
	if (XtIsSubclass(p, fileNominatorWidgetClass))
	    return (FileNominatorWidget)p;
    return NULL;
}

/* The selector whose button is w, or NULL. */
static FileNominatorWidget
ButtonNominator(Widget w)
{
    Widget p = w ? XtParent(w) : NULL;

    return p && XtIsSubclass(p, fileNominatorWidgetClass) ? (FileNominatorWidget)p : NULL;
}

static void
Bell(FileNominatorWidget fw)
{
    int level = fw->file_nominator.bell_level;

    /* XBell takes -100 to 100; anything else is a protocol error. */
    XBell(XtDisplay((Widget)fw), level < -100 ? -100 : level > 100 ? 100 : level);
}

static void
SetText(Widget text, const char *string)
{
    Arg arg;

    XtSetArg(arg, XtNstring, string);
    XtSetValues(text, &arg, 1);
}

/* Copies dir, ending it in '/'; False when it does not fit. */
static Boolean
SetCurrentDirectory(FileNominatorWidget fw, const char *dir)
{
    char *cur = fw->file_nominator.current_directory;
    size_t n = strlen(dir);
    Boolean slash = n == 0 || dir[n - 1] != '/';

    if (n + slash + 1 > sizeof fw->file_nominator.current_directory)
	return False;
    memcpy(cur, dir, n);
    if (slash)
	cur[n++] = '/';
    cur[n] = '\0';
    return True;
}

/*
 * Rebuilds the list from the current directory. A directory that cannot
 * be read leaves the previous listing.
 */
static void
ScanDirectory(FileNominatorWidget fw)
{
    FileNominatorPart *fp = &fw->file_nominator;
    String pattern = NULL;
    Cardinal count;
    String *items;

    XtVaGetValues(TextChild(fp->filter_text), XtNstring, &pattern, NULL);
    items = ListDirectory(fp->current_directory, pattern, fp->show_dot_files,
			  fp->filter_directory_names, &count);
    if (!items)
	return;

    SizeViewport(fw);

    /* The list keeps the array: free the old one only once it has the new. */
    ViewlistChange(fp->viewport, items, (int)count);
    FreeDirectoryList(fp->items);
    fp->items = items;

    if (XtIsRealized(fp->viewport))
	XawViewportSetLocation(fp->viewport, 0.0, 0.0);
}

/* The viewport's height for numberRows rows, which the preferred height holds. */
static void
SizeViewport(FileNominatorWidget fw)
{
    FileNominatorPart *fp = &fw->file_nominator;
    XFontStruct *font = NULL;
    Dimension internal_height = 0, row_spacing = 0;
    Arg arg;

    XtVaGetValues(fp->list, XtNfont, &font, XtNinternalHeight, &internal_height,
		  XtNrowSpacing, &row_spacing, NULL);
    if (!font)
	return;
    int row = font->max_bounds.ascent + font->max_bounds.descent + row_spacing;
    XtSetArg(arg, XtNheight, SizeOf(fp->number_rows * row - row_spacing + 2 * internal_height));
    XtSetValues(fp->viewport, &arg, 1);
}

static void
Relist(FileNominatorWidget fw)
{
    ScanDirectory(fw);
    FileNominatorResize((Widget)fw);
}

/* Enters dir, which is known to be a directory. */
static void
EnterDirectory(FileNominatorWidget fw, const char *dir)
{
    if (!SetCurrentDirectory(fw, dir)) {
	Bell(fw);
	return;
    }
    SetText(fw->file_nominator.filename_field, "");
    Relist(fw);
}

/*
 * Reports the file q (absolute, normalised). A file in another readable
 * directory first takes the selector there. The callback comes last: it
 * may destroy the selector.
 */
static void
NominateFile(FileNominatorWidget fw, const char *q)
{
    FileNominatorPart *fp = &fw->file_nominator;
    const char *slash = strrchr(q, '/');
    size_t dir_length = slash ? (size_t)(slash - q) + 1 : 0;

    fp->selection.filename_error = access(q, R_OK) == 0 ? 0 : errno;
    XtFree((char *)fp->selection.filename);
    fp->selection.filename = XtNewString(q + dir_length);

    char *d = XtMalloc(dir_length + 1);
    memcpy(d, q, dir_length);
    d[dir_length] = '\0';
    XtFree((char *)fp->selection.directory);
    int directory_error = access(d, R_OK) == 0 ? 0 : errno;
    if (directory_error == 0 && strcmp(d, fp->current_directory) != 0
	&& SetCurrentDirectory(fw, d)) {
	SetText(fp->filename_field, "");
	Relist(fw);
	XtFree(d);
	fp->selection.directory = XtNewString(fp->current_directory);
	fp->selection.directory_error = 0;
    } else {
	fp->selection.directory = d;
	fp->selection.directory_error = directory_error;
    }
    XtCallCallbackList((Widget)fw, fp->select_callback, (XtPointer)&fp->selection);
}

/* Puts the edit watcher on the name field's text, unless it is there. */
static void
WatchEdits(FileNominatorWidget fw)
{
    FileNominatorPart *fp = &fw->file_nominator;

    if (!fp->watching_edits) {
	XtAddCallback(XawTextGetSource(fp->filename_field), XtNcallback, EditWatcher, (XtPointer)fw);
	fp->watching_edits = True;
    }
}

/*
 * Callbacks
 */

/* One click on the list: the item goes into the name field. */
static void
ListSelected(Widget w, XtPointer client_data, XtPointer call_data)
{
    FileNominatorWidget fw = (FileNominatorWidget)client_data;
    FileNominatorPart *fp = &fw->file_nominator;
    XawListReturnStruct *current = XawListShowCurrent(fp->list);

    if (current->list_index != XAW_LIST_NONE && current->string) {
	SetText(fp->filename_field, current->string);
	XawTextSetInsertionPoint(fp->filename_field, (XawTextPosition)strlen(current->string));
    }
    XtFree((char *)current);
    WatchEdits(fw);
}

/* The first edit after a list selection takes the list's highlight away. */
static void
EditWatcher(Widget source, XtPointer client_data, XtPointer call_data)
{
    FileNominatorWidget fw = (FileNominatorWidget)client_data;

    XtRemoveCallback(source, XtNcallback, EditWatcher, client_data);
    fw->file_nominator.watching_edits = False;
    XawListUnhighlight(fw->file_nominator.list);
}

static void
CancelPressed(Widget w, XtPointer client_data, XtPointer call_data)
{
    FileNominatorWidget fw = (FileNominatorWidget)client_data;

    XtCallCallbackList((Widget)fw, fw->file_nominator.cancel_callback, NULL);
}

/* The path menu is built anew at every press. */
static void
DestroyMenu(Widget menu, XtPointer client_data, XtPointer call_data)
{
    XtDestroyWidget(menu);
}

/* A menu entry's selector: entry, menu, button, selector. */
static FileNominatorWidget
EntryNominator(Widget entry)
{
    Widget menu = XtParent(entry);

    return menu ? ButtonNominator(XtParent(menu)) : NULL;
}

/* Level n cuts the current directory after its n-th '/'. */
static void
DirectoryEntrySelected(Widget entry, XtPointer client_data, XtPointer call_data)
{
    FileNominatorWidget fw = EntryNominator(entry);
    int level = (int)(intptr_t)client_data;

    if (!fw)
	return;
    char *cur = fw->file_nominator.current_directory;
    for (char *p = cur; *p; p++)
	if (*p == '/' && --level == 0) {
	    p[1] = '\0';
	    break;
	}
    SetText(fw->file_nominator.filename_field, "");
    Relist(fw);
}

static void
PathListEntrySelected(Widget entry, XtPointer client_data, XtPointer call_data)
{
    FileNominatorWidget fw = EntryNominator(entry);
    String label = NULL;
    Cardinal none = 0;

    if (!fw)
	return;
    XtVaGetValues(entry, XtNlabel, &label, NULL);
    SetText(fw->file_nominator.filename_field, label ? label : "");
    Nominate(fw->file_nominator.filename_field, NULL, NULL, &none);
}

static void
FilterEntrySelected(Widget entry, XtPointer client_data, XtPointer call_data)
{
    FileNominatorWidget fw = EntryNominator(entry);

    if (fw)
	XtCallActionProc(fw->file_nominator.filter_button, (String)client_data, NULL, NULL, 0);
}

/*
 * Actions
 */

/* The path menu: every ancestor of the current directory, then pathList. */
static void
MakeMenu(Widget w, XEvent *event, String *params, Cardinal *num_params)
{
    FileNominatorWidget fw = ButtonNominator(w);
    String menu_name = NULL;
    Widget menu, entry, sep;
    Arg arg;

    if (!fw)
	return;
    XtVaGetValues(w, XtNmenuName, &menu_name, NULL);
    menu = XtCreatePopupShell(menu_name ? menu_name : "menu", simpleMenuWidgetClass, w, NULL, 0);
    XtAddCallback(menu, XtNpopdownCallback, DestroyMenu, NULL);

    entry = XtCreateManagedWidget("/", smeBSBObjectClass, menu, NULL, 0);
    XtAddCallback(entry, XtNcallback, DirectoryEntrySelected, (XtPointer)(intptr_t)1);
    intptr_t level = 1;
    for (const char *p = fw->file_nominator.current_directory + 1; *p;) {
	const char *slash = strchr(p, '/');
	size_t n = slash ? (size_t)(slash - p) : strlen(p);
	std::string component(p, n);
	entry = XtCreateManagedWidget(component.c_str(), smeBSBObjectClass, menu, NULL, 0);
	XtAddCallback(entry, XtNcallback, DirectoryEntrySelected, (XtPointer)++level);
	p += n + (slash != NULL);
    }

    if (fw->file_nominator.path_list) {
	sep = XtCreateManagedWidget("sep", smeLineObjectClass, menu, NULL, 0);
	XtSetArg(arg, XtNpopupOnEntry, sep);
	XtSetValues(menu, &arg, 1);
	const char *p = fw->file_nominator.path_list;
	for (;;) {
	    const char *colon = strchr(p, ':');
	    std::string piece(p, colon ? (size_t)(colon - p) : strlen(p));
	    entry = XtCreateManagedWidget(piece.c_str(), smeBSBObjectClass, menu, NULL, 0);
	    XtAddCallback(entry, XtNcallback, PathListEntrySelected, NULL);
	    if (!colon)
		break;
	    p = colon + 1;
	}
    } else {
	XtSetArg(arg, XtNpopupOnEntry, entry);
	XtSetValues(menu, &arg, 1);
    }
}

/* Entering the filter field lends it the keys; leaving gives them back. */
static void
FocusToFilter(Widget w, XEvent *event, String *params, Cardinal *num_params)
{
    FileNominatorWidget fw = FindNominator(w);
    Arg arg;

    if (!fw)
	return;
    FileNominatorPart *fp = &fw->file_nominator;
    Boolean entered = *num_params == 0;
    XtSetKeyboardFocus((Widget)fw, entered ? (Widget)None : fp->filename_field);
    XtSetArg(arg, XtNdisplayCaret, entered);
    XtSetValues(TextChild(fp->filter_text), &arg, 1);
    XtSetArg(arg, XtNdisplayCaret, !entered);
    XtSetValues(fp->filename_field, &arg, 1);
}

static void
Filter(Widget w, XEvent *event, String *params, Cardinal *num_params)
{
    FileNominatorWidget fw = FindNominator(w);

    if (fw)
	Relist(fw);
}

/* The filter menu, made at its first use and kept. */
static void
MakeFilterMenu(Widget w, XEvent *event, String *params, Cardinal *num_params)
{
    FileNominatorWidget fw = ButtonNominator(w);
    String menu_name = NULL;
    Widget menu, entry;
    Arg args[3];

    if (!fw || fw->file_nominator.filter_menu)
	return;
    FileNominatorPart *fp = &fw->file_nominator;
    if (check_mark == None) {
	Display *dpy = XtDisplay(w);
	check_mark = XCreateBitmapFromData(dpy, DefaultRootWindow(dpy), (const char *)check_bits,
					   check_width, check_height);
    }

    XtVaGetValues(w, XtNmenuName, &menu_name, NULL);
    menu = XtCreatePopupShell(menu_name ? menu_name : "menu", simpleMenuWidgetClass, w, NULL, 0);

    XtSetArg(args[0], XtNleftMargin, 16);
    XtSetArg(args[1], XtNrightMargin, 16);
    entry = XtCreateManagedWidget("Apply", smeBSBObjectClass, menu, args, 2);
    XtAddCallback(entry, XtNcallback, FilterEntrySelected, (XtPointer) "Filter");
    XtCreateManagedWidget("line", smeLineObjectClass, menu, NULL, 0);

    XtSetArg(args[2], XtNleftBitmap, fp->filter_directory_names ? check_mark : None);
    fp->directories_entry = XtCreateManagedWidget("Apply to directories", smeBSBObjectClass, menu, args, 3);
    XtAddCallback(fp->directories_entry, XtNcallback, FilterEntrySelected,
		  (XtPointer) "ToggleFilterDirectories");

    XtSetArg(args[2], XtNleftBitmap, fp->show_dot_files ? check_mark : None);
    fp->dot_files_entry = XtCreateManagedWidget("Apply to \".\" files", smeBSBObjectClass, menu, args, 3);
    XtAddCallback(fp->dot_files_entry, XtNcallback, FilterEntrySelected, (XtPointer) "ToggleDotFiles");

    fp->filter_menu = menu;
}

/*
 * Nominates the name field's text: a directory is entered, a file (or a
 * name not there yet) is reported.
 */
static void
Nominate(Widget w, XEvent *event, String *params, Cardinal *num_params)
{
    FileNominatorWidget fw = FindNominator(w);
    String text = NULL;
    char path[DirScanPathMax];
    struct stat st;

    if (!fw)
	return;
    FileNominatorPart *fp = &fw->file_nominator;
    XtVaGetValues(fp->filename_field, XtNstring, &text, NULL);
    if (!ExpandPath(text ? text : "", fp->current_directory, path)) {
	Bell(fw);
	return;
    }
    if (!path[0])
	return;

    char *q = NormalizePath(path);
    if (stat(q, &st) == 0) {
	if (!S_ISDIR(st.st_mode))
	    NominateFile(fw, q);
	else if (access(q, R_OK) == 0)
	    EnterDirectory(fw, q);
	else
	    Bell(fw);
    } else if (errno == ENOENT) {
	NominateFile(fw, q);
    } else {
	Bell(fw);
    }
    XtFree(q);
}

static void
ToggleDotFiles(Widget w, XEvent *event, String *params, Cardinal *num_params)
{
    FileNominatorWidget fw = FindNominator(w);
    Arg arg;

    if (!fw)
	return;
    XtSetArg(arg, XtNshowDotFiles, !fw->file_nominator.show_dot_files);
    XtSetValues((Widget)fw, &arg, 1);
}

static void
ToggleFilterDirectories(Widget w, XEvent *event, String *params, Cardinal *num_params)
{
    FileNominatorWidget fw = FindNominator(w);
    Arg arg;

    if (!fw)
	return;
    XtSetArg(arg, XtNfilterDirectoryNames, !fw->file_nominator.filter_directory_names);
    XtSetValues((Widget)fw, &arg, 1);
}

/* scroll-on-movement(True|False) on the selector: both fields follow motion. */
static void
ScrollOnMovement(Widget w, XEvent *event, String *params, Cardinal *num_params)
{
    Arg arg;

    if (!XtIsSubclass(w, fileNominatorWidgetClass))
	return;
    FileNominatorPart *fp = &((FileNominatorWidget)w)->file_nominator;
    Boolean on = *num_params > 0 && params[0] && params[0][0] == 'T';
    XtSetArg(arg, XtNscrollOnMovement, on);
    XtSetValues(fp->filename_text, &arg, 1);
    XtSetValues(fp->filter_text, &arg, 1);
}

/*
 * Public functions
 */
String
FileNominatorGetDirectory(Widget w)
{
    if (!w || !XtIsSubclass(w, fileNominatorWidgetClass))
	return NULL;
    return ((FileNominatorWidget)w)->file_nominator.current_directory;
}

void
FileNominatorSetDirectory(Widget w, const char *directory)
{
    if (!w || !XtIsSubclass(w, fileNominatorWidgetClass) || !directory)
	return;
    EnterDirectory((FileNominatorWidget)w, directory[0] ? directory : "/");
}

void
FileNominatorClearName(Widget w)
{
    if (!w || !XtIsSubclass(w, fileNominatorWidgetClass))
	return;
    FileNominatorPart *fp = &((FileNominatorWidget)w)->file_nominator;
    SetText(fp->filename_field, "");
    XawListUnhighlight(fp->list);
}

void
FileNominatorSelectName(Widget w)
{
    if (!w || !XtIsSubclass(w, fileNominatorWidgetClass))
	return;
    ScrollingTextSelectAll(((FileNominatorWidget)w)->file_nominator.filename_text);
}

Widget
FileNominatorGetViewport(Widget w)
{
    if (!w || !XtIsSubclass(w, fileNominatorWidgetClass))
	return NULL;
    return ((FileNominatorWidget)w)->file_nominator.viewport;
}

Widget
FileNominatorGetList(Widget w)
{
    if (!w || !XtIsSubclass(w, fileNominatorWidgetClass))
	return NULL;
    return ((FileNominatorWidget)w)->file_nominator.list;
}
