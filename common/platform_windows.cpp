#include <conio.h>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cctype>
#include <cstring>

#include "platform.h"

// The program sees wildcard arguments as typed; it expands them itself.
extern "C" {
int _dowildcard = 0;
}

namespace platform {

bool stdin_is_terminal() {
    return _isatty(_fileno(stdin)) != 0;
}
bool stdout_is_terminal() {
    return _isatty(_fileno(stdout)) != 0;
}

int read_key(bool echo) {
    if (!stdin_is_terminal())
        return -1;
    fflush(stdout);
    int key = echo ? _getche() : _getch();
    return key == EOF ? -1 : (key & 0xff);
}

FILE* open_file(const char* path, const char* mode) {
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        errno = EISDIR;
        return nullptr;
    }
    return fopen(path, mode);
}

bool path_exists(const char* path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

Created create_exclusive(const char* path) {
    int fd = _open(path, _O_WRONLY | _O_CREAT | _O_EXCL, _S_IREAD | _S_IWRITE);
    if (fd < 0)
        return errno == EEXIST ? Created::taken : Created::failed;
    _close(fd);
    return Created::ok;
}

bool delete_file(const char* path) {
    return DeleteFileA(path) != 0;
}

bool commit_and_close(FILE* f) {
    bool ok = fflush(f) == 0 && !ferror(f);
    ok = _commit(_fileno(f)) == 0 && ok;
    return fclose(f) == 0 && ok;
}

FILE* open_regular(const char* path) {
    FILE* f = open_file(path, "rb");
    if (!f)
        return nullptr;
    // Devices such as NUL or CON open like files; only a disk file counts.
    HANDLE file = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(f)));
    if (GetFileType(file) != FILE_TYPE_DISK) {
        fclose(f);
        errno = ENOENT;
        return nullptr;
    }
    return f;
}

void take_permissions(FILE*, FILE*) {}

std::string final_target(const std::string& path) {
    return path;
}

Created copy_to_new_file(const char* from, const char* to) {
    if (!CopyFileA(from, to, TRUE))
        return GetLastError() == ERROR_FILE_EXISTS ? Created::taken : Created::failed;
    // CopyFile leaves the data in the cache; the copy must be on the disk
    // before it replaces anything.
    HANDLE file = CreateFileA(to, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    bool ok = file != INVALID_HANDLE_VALUE && FlushFileBuffers(file);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    if (!ok) {
        DeleteFileA(to);
        return Created::failed;
    }
    return Created::ok;
}

Swap swap_in(const char* target, const char* replacement, const char* backup) {
    // ReplaceFile needs write access to the replaced file: a read-only one
    // loses the attribute for the swap, and both names get it back after.
    DWORD attributes = GetFileAttributesA(target);
    bool read_only =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    if (read_only)
        SetFileAttributesA(target, attributes & ~FILE_ATTRIBUTE_READONLY);
    Swap result = Swap::done;
    if (!ReplaceFileA(target, replacement, backup, REPLACEFILE_WRITE_THROUGH, nullptr, nullptr)) {
        DWORD error = GetLastError();
        // Here the target is already under the backup name and the
        // replacement failed to move: the target goes back.
        if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2)
            MoveFileExA(backup, target, MOVEFILE_WRITE_THROUGH);
        result =
            error == ERROR_UNABLE_TO_MOVE_REPLACEMENT || error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2
                ? Swap::replace_failed
                : Swap::backup_failed;
    }
    if (read_only) {
        SetFileAttributesA(target, attributes);
        if (result == Swap::done)
            SetFileAttributesA(backup, attributes);
    }
    return result;
}

namespace {

bool stamp_from(HANDLE file, FileStamp& stamp) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info))
        return false;
    stamp.device = info.dwVolumeSerialNumber;
    stamp.index = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    stamp.size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    stamp.modified =
        static_cast<int64_t>((static_cast<uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                             info.ftLastWriteTime.dwLowDateTime);
    stamp.regular =
        !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && GetFileType(file) == FILE_TYPE_DISK;
    return true;
}

}  // namespace

bool stamp_of(const char* path, FileStamp& stamp) {
    // Backup semantics let a directory be opened for its information too.
    HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool ok = stamp_from(file, stamp);
    CloseHandle(file);
    return ok;
}

bool stamp_of(FILE* stream, FileStamp& stamp) {
    HANDLE file = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    return file != INVALID_HANDLE_VALUE && stamp_from(file, stamp);
}

bool is_separator(char c) {
    return c == '\\' || c == '/';
}

size_t drive_length(const char* path) {
    return std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' ? 2 : 0;
}

bool same_name(const char* a, const char* b) {
    return _stricmp(a, b) == 0;
}

std::vector<std::string> find_files(const std::string& directory, const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((directory + pattern).c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    const DWORD excluded = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    do {
        if (!(data.dwFileAttributes & excluded))
            names.emplace_back(data.cFileName);
    } while (FindNextFileA(search, &data));
    FindClose(search);
    return names;
}

}  // namespace platform
