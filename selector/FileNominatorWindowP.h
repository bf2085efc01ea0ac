/*
 * Private declarations of the FileNominatorWindow widget.
 */
#ifndef _FileNominatorWindowP_h
#define _FileNominatorWindowP_h

#include "FileNominatorWindow.h"

#include <X11/ShellP.h>

typedef struct {
    XtPointer extension;
} FileNominatorWindowClassPart;

typedef struct _FileNominatorWindowClassRec {
    CoreClassPart core_class;
    CompositeClassPart composite_class;
    ShellClassPart shell_class;
    WMShellClassPart wm_shell_class;
    VendorShellClassPart vendor_shell_class;
    TransientShellClassPart transient_shell_class;
    FileNominatorWindowClassPart file_nominator_window_class;
} FileNominatorWindowClassRec;

extern FileNominatorWindowClassRec fileNominatorWindowClassRec;

typedef struct {
    /* resources */
    String initial_directory;	/* handed to the selector */
    /* private */
    Widget nominator;		/* the "filenom" FileNominator */
} FileNominatorWindowPart;

typedef struct _FileNominatorWindowRec {
    CorePart core;
    CompositePart composite;
    ShellPart shell;
    WMShellPart wm;
    VendorShellPart vendor;
    TransientShellPart transient;
    FileNominatorWindowPart file_nominator_window;
} FileNominatorWindowRec;

#endif /* _FileNominatorWindowP_h */
