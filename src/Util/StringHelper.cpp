#include "Util/StringHelper.h"

#include <cstring>

static bool isSeparator(char character) {
    return character == '/' || character == '\\';
}

std::string strdirectory(const char* path) {
    int separator = static_cast<int>(std::strlen(path)) - 1;
    while (separator >= 0 && !isSeparator(path[separator])) --separator;
    if (separator <= 0) return "";
    return std::string(path, static_cast<size_t>(separator) + 1);
}

std::string strfilename(const char* path) {
    std::string filename = strbasename(path);
    const size_t extension = filename.rfind('.');
    if (extension != std::string::npos) filename.erase(extension);
    return filename;
}

const char* strbasename(const char* path) {
    const char* separator = std::strrchr(path, '\\');
    if (separator == nullptr) separator = std::strrchr(path, '/');
    return separator != nullptr ? separator + 1 : path;
}
