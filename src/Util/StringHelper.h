// Taking paths apart. Asset files name other files relative to their own
// folder, so paths are split here. Null arguments are never accepted.
#pragma once

#include <string>

// The folder part including its final separator: the separator nearest the
// end wins, whichever kind it is. A path without one, or whose only one is
// its first character, gives "".
std::string strdirectory(const char* path);

// The file name without folder and without the extension after its last dot.
// A backslash anywhere wins over later slashes (as in strbasename).
std::string strfilename(const char* path);

// Points into path (no allocation): the part after the last backslash if
// there is one, otherwise after the last slash, otherwise path itself.
const char* strbasename(const char* path);
