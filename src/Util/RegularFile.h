// Opening the game's files without ever waiting on one: a FIFO, a device or a
// directory where a file is expected is refused at once, as the map and
// sound loaders refuse them, instead of holding the game for ever.
#pragma once

#include <cstdio>

// For reading; null (errno set) when path is no regular file or cannot be
// opened.
FILE* openRegularFile(const char* path);
// For appending, made private (0600) and never through a symbolic link;
// null (errno set) when path is no regular file or cannot be opened.
FILE* openRegularFileToAppend(const char* path);
