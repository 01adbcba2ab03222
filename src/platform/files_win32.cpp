#include "platform/files.hpp"

#include "platform/win32_text.hpp"

#include <shlobj.h>
#include <windows.h>

#include <algorithm>

namespace {
constexpr DWORD readChunk = 64u << 10;  // bytes read at a time
constexpr wchar_t gameFolder[] = L"SKYWALTZ";
constexpr char settingsName[] = "config.txt";

// The folder that holds the running executable.
std::string executableFolder() {
    wchar_t buffer[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return ".";
    std::wstring path(buffer, length);
    const std::size_t cut = path.find_last_of(L"\\/");
    return narrow(cut == std::wstring::npos ? L"." : path.substr(0, cut));
}

std::string workingDirectory() {
    // The game's folders keep within Windows' classic path length.
    wchar_t buffer[MAX_PATH];
    const DWORD length = GetCurrentDirectoryW(MAX_PATH, buffer);
    if (length == 0 || length >= MAX_PATH) return ".";
    return narrow(std::wstring(buffer, length));
}

// The player's own settings folder, %APPDATA%\SKYWALTZ, made when it is missing; empty
// when Windows does not say where the roaming application data lives.
std::string playerFolder() {
    PWSTR appData = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_CREATE, nullptr, &appData)))
        folder = std::wstring(appData) + L"\\" + gameFolder;
    CoTaskMemFree(appData);
    if (folder.empty()) return "";
    CreateDirectoryW(folder.c_str(), nullptr);
    return narrow(folder);
}

bool isFolder(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

HANDLE openForReading(const std::string& path) {
    return CreateFileW(widen(path).c_str(), GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Appends at most `limit` + 1 bytes of the open file to `text`.
void readBounded(HANDLE file, std::string& text, std::size_t limit) {
    char chunk[readChunk];
    while (text.size() <= limit) {
        const DWORD wanted =
            static_cast<DWORD>(std::min<std::size_t>(sizeof chunk, limit + 1 - text.size()));
        DWORD got = 0;
        if (!ReadFile(file, chunk, wanted, &got, nullptr) || got == 0) return;
        text.append(chunk, got);
    }
}
}  // namespace

const char pathSeparator = '\\';

PathKind pathKind(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(widen(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::missing;
    if (isFolder(attributes)) return PathKind::folder;
    const HANDLE file = openForReading(path);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD why = GetLastError();
        // A link whose target is gone still has attributes of its own.
        const bool refused = why == ERROR_ACCESS_DENIED || why == ERROR_SHARING_VIOLATION;
        return refused ? PathKind::unreadableFile : PathKind::brokenLink;
    }
    const bool disk = GetFileType(file) == FILE_TYPE_DISK;
    CloseHandle(file);
    return disk ? PathKind::readableFile : PathKind::other;
}

FileRead readRegularFile(const std::string& path, std::string& text, std::size_t limit) {
    text.clear();
    if (isFolder(GetFileAttributesW(widen(path).c_str()))) return FileRead::notRegular;
    const HANDLE file = openForReading(path);
    if (file == INVALID_HANDLE_VALUE) return FileRead::unopened;
    LARGE_INTEGER size{};
    const bool regular = GetFileType(file) == FILE_TYPE_DISK && GetFileSizeEx(file, &size);
    const bool small = regular && static_cast<unsigned long long>(size.QuadPart) <= limit;
    if (small) readBounded(file, text, limit);
    CloseHandle(file);
    return endOfRead(regular, small, text, limit);
}

bool writeWholeFile(const std::string& path, const std::string& text) {
    const HANDLE file = CreateFileW(widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool whole =
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
        written == text.size();
    CloseHandle(file);
    return whole;
}

std::string assetRoot() {
    const std::string here = workingDirectory();
    if (pathKind(here + pathSeparator + "content") == PathKind::folder) return here;
    return executableFolder();
}

SettingsPlace settingsPlace() {
    const std::string portable = executableFolder() + pathSeparator + settingsName;
    if (pathKind(portable) != PathKind::missing) return {portable, false};
    const std::string folder = playerFolder();
    if (folder.empty()) return {portable, false};
    return {folder + pathSeparator + settingsName, true};
}
