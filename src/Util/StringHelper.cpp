#include "Util/StringHelper.h"

#include <cstdlib>
#include <cstring>

#include "Debug/Debug.h"

// Room for length bytes and the terminator; a failure is reported under the
// name of the string function that asked.
static char* allocateText(size_t length, const char* function) {
    char* text = static_cast<char*>(std::malloc(length + 1));
    if (text == nullptr) DebugAllocationFailure(__FILE__, function, __LINE__);
    text[length] = '\0';
    return text;
}

static char* copyText(const char* text, size_t length, const char* function) {
    char* copy = allocateText(length, function);
    std::memcpy(copy, text, length);
    return copy;
}

char* strduplicate(const char* text) {
    return copyText(text, std::strlen(text), "strduplicate");
}

char* substr(const char* text, int start, int length) {
    return copyText(text + start, static_cast<size_t>(length), "substr");
}

char* strmerge(const char* first, const char* second) {
    size_t firstLength = std::strlen(first);
    size_t secondLength = std::strlen(second);
    char* merged = allocateText(firstLength + secondLength, "strmerge");
    std::memcpy(merged, first, firstLength);
    std::memcpy(merged + firstLength, second, secondLength);
    return merged;
}

static bool isSeparator(char character) {
    return character == '/' || character == '\\';
}

char* strdirectory(const char* path) {
    int separator = static_cast<int>(std::strlen(path)) - 1;
    while (separator >= 0 && !isSeparator(path[separator])) --separator;
    if (separator <= 0) return allocateText(0, "strdirectory");
    return substr(path, 0, separator + 1);
}

char* strfilename(const char* path) {
    const char* name = strbasename(path);
    char* filename = copyText(name, std::strlen(name), "strfilename");
    char* extension = std::strrchr(filename, '.');
    if (extension != nullptr) *extension = '\0';
    return filename;
}

const char* strbasename(const char* path) {
    const char* separator = std::strrchr(path, '\\');
    if (separator == nullptr) separator = std::strrchr(path, '/');
    return separator != nullptr ? separator + 1 : path;
}
