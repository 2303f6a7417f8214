// Copying, cutting, joining and taking paths apart. Asset files name other
// files relative to their own folder, so paths are split here.
//
// Every returned char* is a new string from malloc that the caller frees
// with free(). Null arguments are never accepted.
#pragma once

char* strduplicate(const char* text);

// Exactly length bytes from text + start, which the caller guarantees exist.
char* substr(const char* text, int start, int length);

char* strmerge(const char* first, const char* second);

// The folder part including its final separator: the separator nearest the
// end wins, whichever kind it is. A path without one, or whose only one is
// its first character, gives "".
char* strdirectory(const char* path);

// The file name without folder and without the extension after its last dot.
// A backslash anywhere wins over later slashes (as in strbasename).
char* strfilename(const char* path);

// Points into path (no allocation): the part after the last backslash if
// there is one, otherwise after the last slash, otherwise path itself.
const char* strbasename(const char* path);
