// The player's own files, the settings and the save: where they live, read
// without ever ending the game, and written so that a crash or a second copy
// of the game never leaves half a file.
#pragma once

#include "Content/Json.h"

#include <cstddef>
#include <string>

// Neither file is ever near this; a bigger one is refused unread.
inline constexpr size_t PLAYER_FILE_LIMIT = 1024 * 1024;

// $<variable>/halcyra when the variable holds an absolute path, else
// $HOME/<underHome>/halcyra; empty when HOME is no absolute path either.
std::string PlayerFilesDirectory(const char* variable, const char* underHome);
// Where the settings live ($XDG_CONFIG_HOME, ~/.config) and the save
// ($XDG_DATA_HOME, ~/.local/share).
std::string PlayerFilesConfigDirectory();
std::string PlayerFilesDataDirectory();

enum class PlayerFileStatus { Missing, Read, Broken };

struct PlayerFileRead {
    PlayerFileStatus status = PlayerFileStatus::Missing;
    JsonDocument document;  // a JSON object when Read
    std::string problem;    // why, when Broken
};

// Reads path without blocking on special files: anything but a regular
// file, a file over the limit, one that cannot be read and one that is not a
// JSON object are Broken.
PlayerFileRead PlayerFilesRead(const std::string& path);

// Keeps a broken file beside itself as path + ".bad", replacing an older one.
void PlayerFilesKeepBroken(const std::string& path);

// Writes text into a new file in path's directory (made, private, when
// missing), flushes it to the disk and renames it over path: path holds
// either the old text or the new one, whatever happens. False with the
// reason in problem when it could not; path is then as it was.
bool PlayerFilesWrite(const std::string& path, const std::string& text, std::string* problem);

// Removes path; a missing file is no failure.
bool PlayerFilesRemove(const std::string& path, std::string* problem);
