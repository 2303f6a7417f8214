// Where an installed game finds its data. An install puts the program in
// <prefix>/bin and the data in <prefix>/share/<name>; a game run from a build
// has no such directory and reads its data from the working directory.
#pragma once

#include <string>

// <prefix>/share/<name> beside the running program's <prefix>/bin when it
// holds an Assets folder; empty otherwise.
std::string KESysInstalledDataDirectory(const char* name);
