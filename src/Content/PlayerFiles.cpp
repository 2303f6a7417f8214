#include "Content/PlayerFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

constexpr char FOLDER[] = "halcyra";

std::string errorText() {
    return std::strerror(errno);
}

// Closes the descriptor when it goes.
class FileDescriptor {
public:
    explicit FileDescriptor(int descriptor) : fd(descriptor) {}
    ~FileDescriptor() {
        if (fd >= 0) close(fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd; }

private:
    int fd;
};

PlayerFileRead broken(std::string problem) {
    PlayerFileRead result;
    result.status = PlayerFileStatus::Broken;
    result.problem = std::move(problem);
    return result;
}

bool readWhole(int fd, size_t size, std::string* text) {
    text->resize(size);
    size_t done = 0;
    while (done < size) {
        const ssize_t got = read(fd, text->data() + done, size - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        done += static_cast<size_t>(got);
    }
    return true;
}

bool writeWhole(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t put = write(fd, text.data() + done, text.size() - done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        done += static_cast<size_t>(put);
    }
    return true;
}

bool makePrivateDirectory(const std::string& directory, std::string* problem) {
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (error) {
        *problem = "cannot make the directory " + directory + ": " + error.message();
        return false;
    }
    chmod(directory.c_str(), 0700);
    return true;
}

}  // namespace

std::string PlayerFilesDirectory(const char* variable, const char* underHome) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] == '/') return std::string(value) + "/" + FOLDER;
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return std::string(home) + "/" + underHome + "/" + FOLDER;
    return "";
}

std::string PlayerFilesConfigDirectory() {
    return PlayerFilesDirectory("XDG_CONFIG_HOME", ".config");
}

std::string PlayerFilesDataDirectory() {
    return PlayerFilesDirectory("XDG_DATA_HOME", ".local/share");
}

PlayerFileRead PlayerFilesRead(const std::string& path) {
    // Non-blocking, so that a FIFO in the file's place cannot hold the game.
    FileDescriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.get() < 0) {
        if (errno == ENOENT) return {};
        return broken("cannot be opened: " + errorText());
    }
    struct stat status {};
    if (fstat(file.get(), &status) != 0) return broken("cannot be read: " + errorText());
    if (!S_ISREG(status.st_mode)) return broken("is not a regular file");
    const auto size = static_cast<size_t>(status.st_size);
    if (size > PLAYER_FILE_LIMIT)
        return broken("is larger than " + std::to_string(PLAYER_FILE_LIMIT / 1024) + " KiB");
    std::string text;
    if (!readWhole(file.get(), size, &text)) return broken("cannot be read: " + errorText());
    PlayerFileRead result;
    result.document = JsonParse(text.c_str(), text.size());
    if (result.document == nullptr) return broken("is not JSON");
    if (result.document->type != json_object) return broken("is not a JSON object");
    result.status = PlayerFileStatus::Read;
    return result;
}

void PlayerFilesKeepBroken(const std::string& path) {
    std::rename(path.c_str(), (path + ".bad").c_str());
}

bool PlayerFilesWrite(const std::string& path, const std::string& text, std::string* problem) {
    const std::string directory = std::filesystem::path(path).parent_path().string();
    if (!makePrivateDirectory(directory, problem)) return false;
    std::string temporary = path + ".XXXXXX";
    FileDescriptor file(mkostemp(temporary.data(), O_CLOEXEC));
    if (file.get() < 0) {
        *problem = "cannot write in " + directory + ": " + errorText();
        return false;
    }
    const bool written = writeWhole(file.get(), text) && fsync(file.get()) == 0;
    if (!written || std::rename(temporary.c_str(), path.c_str()) != 0) {
        *problem = "cannot write " + path + ": " + errorText();
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

bool PlayerFilesRemove(const std::string& path, std::string* problem) {
    if (unlink(path.c_str()) == 0 || errno == ENOENT) return true;
    *problem = "cannot remove " + path + ": " + errorText();
    return false;
}
