#include "Engine/DataDirectory.h"

#include "Debug/Debug.h"

#include <SDL.h>

#include <filesystem>
#include <system_error>

std::string KESysInstalledDataDirectory(const char* name) {
    char* programDirectory = SDL_GetBasePath();
    if (programDirectory == nullptr) {
        WARNING("cannot tell where the program is (%s); reading the data from the working directory",
                SDL_GetError());
        return "";
    }
    const std::filesystem::path data =
        (std::filesystem::path(programDirectory) / ".." / "share" / name).lexically_normal();
    SDL_free(programDirectory);
    std::error_code error;
    return std::filesystem::is_directory(data / "Assets", error) ? data.string() : "";
}
