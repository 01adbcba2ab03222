#include "platform/files.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <fstream>

namespace {
constexpr std::size_t readChunk = 64u << 10;  // bytes read at a time
constexpr std::size_t longestPath = 4096;     // bytes of the working directory's name

// Appends at most `limit` + 1 bytes of the open file to `text`.
void readBounded(int fd, std::string& text, std::size_t limit) {
    char chunk[readChunk];
    while (text.size() <= limit) {
        const ssize_t got = read(fd, chunk, std::min(sizeof chunk, limit + 1 - text.size()));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return;
        text.append(chunk, static_cast<std::size_t>(got));
    }
}
}  // namespace

const char pathSeparator = '/';

PathKind pathKind(const std::string& path) {
    struct stat entry {};
    if (lstat(path.c_str(), &entry) != 0) return PathKind::missing;
    struct stat target {};
    if (stat(path.c_str(), &target) != 0) return PathKind::brokenLink;
    if (S_ISDIR(target.st_mode)) return PathKind::folder;
    if (!S_ISREG(target.st_mode)) return PathKind::other;
    return access(path.c_str(), R_OK) == 0 ? PathKind::readableFile : PathKind::unreadableFile;
}

FileRead readRegularFile(const std::string& path, std::string& text, std::size_t limit) {
    text.clear();
    // Without O_NONBLOCK, opening a FIFO waits for a writer for good.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return FileRead::unopened;
    struct stat info {};
    const bool regular = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    const bool small = static_cast<unsigned long long>(info.st_size) <= limit;
    if (regular && small) readBounded(fd, text, limit);
    close(fd);
    return endOfRead(regular, small, text, limit);
}

bool writeWholeFile(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    return static_cast<bool>(file.flush());
}

std::string assetRoot() {
    char buffer[longestPath];
    if (getcwd(buffer, sizeof buffer) == nullptr) return ".";
    return buffer;
}

SettingsPlace settingsPlace() {
    return {"config.txt", false};
}
