#include "Util/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

// Opened without blocking, checked, then handed over as a blocking stream.
FILE* openChecked(const char* path, int flags, const char* mode) {
    const int fd = open(path, flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0600);
    if (fd < 0) return nullptr;
    struct stat status {};
    const bool regular = fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    const int blocking = regular ? fcntl(fd, F_GETFL) & ~O_NONBLOCK : 0;
    FILE* file = regular && fcntl(fd, F_SETFL, blocking) == 0 ? fdopen(fd, mode) : nullptr;
    if (file != nullptr) return file;
    const int why = regular ? errno : S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
    close(fd);
    errno = why;
    return nullptr;
}

}  // namespace

FILE* openRegularFile(const char* path) {
    return openChecked(path, O_RDONLY, "rb");
}

FILE* openRegularFileToAppend(const char* path) {
    FILE* file = openChecked(path, O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW, "a");
    if (file != nullptr) fchmod(fileno(file), 0600);
    return file;
}
