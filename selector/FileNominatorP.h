/*
 * Private declarations of the FileNominator widget.
 */
#ifndef _FileNominatorP_h
#define _FileNominatorP_h

#include "FileNominator.h"
#include "DirScan.h"

#include <X11/CompositeP.h>

typedef struct {
    XtPointer extension;
} FileNominatorClassPart;

typedef struct _FileNominatorClassRec {
    CoreClassPart core_class;
    CompositeClassPart composite_class;
    FileNominatorClassPart file_nominator_class;
} FileNominatorClassRec;

extern FileNominatorClassRec fileNominatorClassRec;

typedef struct {
    /* resources */
    String initial_directory;
    XtCallbackList select_callback;
    String path_list;
    XtCallbackList cancel_callback;
    Dimension margin;
    int number_rows;
    Boolean show_dot_files;
    int bell_level;
    String filter;
    Boolean filter_directory_names;
    /* private */
    Widget viewport;		/* "viewport" Viewlist */
    Widget list;		/* its List */
    Widget filter_button;	/* "Filter" MenuButton */
    Widget filter_menu;		/* NULL until first popped up */
    Widget directories_entry;	/* "Apply to directories" */
    Widget dot_files_entry;	/* "Apply to \".\" files" */
    Widget filter_text;		/* "filter" ScrollingText */
    Widget filename_text;	/* "filename" ScrollingText */
    Widget filename_field;	/* its AsciiText, where names are typed */
    Widget select_button, path_button, cancel_button;
    String *items;		/* listed names, NULL-terminated, or NULL */
    char current_directory[DirScanPathMax];	/* absolute, ends in '/' */
    Boolean watching_edits;	/* edit watcher on filename_field's source */
    FileNominatorSelection selection;
} FileNominatorPart;

typedef struct _FileNominatorRec {
    CorePart core;
    CompositePart composite;
    FileNominatorPart file_nominator;
} FileNominatorRec;

#endif /* _FileNominatorP_h */
