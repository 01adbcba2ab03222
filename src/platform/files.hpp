#pragma once

#include <cstddef>
#include <string>

// The game's files on the player's machine: what stands at a path, reading a small file
// whole, and the folders the game's content and settings live in.

// What a path names, links followed.
enum class PathKind {
    missing,
    brokenLink,  // a link to nothing
    folder,
    readableFile,
    unreadableFile,  // a regular file the game may not read
    other            // a FIFO, a device, a socket
};
PathKind pathKind(const std::string& path);

inline bool isReadableFile(const std::string& path) {
    return pathKind(path) == PathKind::readableFile;
}

enum class FileRead { read, unopened, notRegular, tooLarge };

// Reads the whole file at `path` into `text`, reading at most `limit` + 1 bytes, so that a
// file that grows while it is read still stops. What is not a regular file is not read, nor
// waited on (a FIFO without a writer); a file larger than `limit` leaves `text` empty.
FileRead readRegularFile(const std::string& path, std::string& text, std::size_t limit);

// The end of each platform's readRegularFile: `regular` and `small` as the open file's kind and
// size said before it was read; what was read is kept only if it stayed within `limit`.
inline FileRead endOfRead(bool regular, bool small, std::string& text, std::size_t limit) {
    if (!regular) return FileRead::notRegular;
    if (!small || text.size() > limit) {
        text.clear();
        return FileRead::tooLarge;
    }
    return FileRead::read;
}

// Replaces the file at `path` with `text`; false when it cannot be written.
bool writeWholeFile(const std::string& path, const std::string& text);

// What ends a folder's name in a path: '/', or '\' on Windows.
extern const char pathSeparator;

// The folder the game's content/ folder is looked for in, without a separator at its end: the
// working directory; on Windows, when that holds no content folder, the executable's folder
// (a Windows program is started from shortcuts and other folders).
std::string assetRoot();

// Where the settings file is, and whether a missing one is written with the defaults at
// start-up. Under X11 "config.txt" in the working directory, never written. On Windows a
// "config.txt" beside the executable makes the game portable: that file is read and never
// written; without one (an installed game) the player's own copy lives in
// %APPDATA%\SKYWALTZ\, written with the defaults on the first start.
struct SettingsPlace {
    std::string path;
    bool writeDefaults = false;
};
SettingsPlace settingsPlace();
