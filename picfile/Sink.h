// How the reader and writer tell the user about a file-level problem.
#ifndef VEXILO_SINK_H
#define VEXILO_SINK_H

typedef void (*MessageSink)(const char *text);

#endif
