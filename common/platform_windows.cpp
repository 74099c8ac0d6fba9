// windows.h first: shellapi.h needs what it defines.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <conio.h>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cctype>
#include <cstring>

#include "names.h"
#include "platform.h"

// The program sees wildcard arguments as typed; it expands them itself.
extern "C" {
int _dowildcard = 0;
}

namespace platform {

namespace {

// The UTF-16 spelling of a name: UTF-8 when its bytes are UTF-8 (the
// command line, an INI file saved by a current editor), the ANSI code page
// otherwise (an INI file saved by an older one).
std::wstring widen(const char* name) {
    UINT page = is_valid_utf8(name) ? CP_UTF8 : CP_ACP;
    int size = MultiByteToWideChar(page, 0, name, -1, nullptr, 0);
    if (size <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(page, 0, name, -1, &wide[0], size);
    wide.resize(static_cast<size_t>(size) - 1);
    return wide;
}

std::string narrow(const wchar_t* wide) {
    int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return std::string();
    std::string text(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, &text[0], size, nullptr, nullptr);
    text.resize(static_cast<size_t>(size) - 1);
    return text;
}

// Full paths from this length on take the long form: the plain form ends at
// 259 characters for a file and 247 for a directory.
const DWORD plain_path_limit = MAX_PATH - 12;

// A name as the file calls take it: its UTF-16 spelling, or, when its full
// path is too long for the plain form, that full path in its long form (which
// the system takes literally, so ".." and "/" must be resolved first, as
// GetFullPathNameW does).
std::wstring system_name(const char* name) {
    std::wstring wide = widen(name);
    DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (size == 0 || size <= plain_path_limit)
        return wide;
    std::wstring full(size, L'\0');
    DWORD length = GetFullPathNameW(wide.c_str(), size, &full[0], nullptr);
    if (length == 0 || length >= size)
        return wide;
    full.resize(length);
    return long_path_form(full);
}

}  // namespace

void utf8_arguments(int& argc, char**& argv) {
    static std::vector<std::string> texts;
    static std::vector<char*> pointers;
    int count = static_cast<int>(texts.size());
    if (pointers.empty()) {
        LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
        if (!wide)
            return;  // the C runtime's arguments, in the ANSI code page
        for (int i = 0; i < count; ++i)
            texts.push_back(narrow(wide[i]));
        LocalFree(wide);
        for (std::string& text : texts)
            pointers.push_back(&text[0]);
        pointers.push_back(nullptr);
    }
    argc = count;
    argv = pointers.data();
}

bool is_path_argument(const char*) {
    return false;
}

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
    std::wstring name = system_name(path);
    DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        errno = EISDIR;
        return nullptr;
    }
    return _wfopen(name.c_str(), widen(mode).c_str());
}

bool path_exists(const char* path) {
    return GetFileAttributesW(system_name(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

Created create_exclusive(const char* path) {
    int fd =
        _wopen(system_name(path).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL, _S_IREAD | _S_IWRITE);
    if (fd < 0)
        return errno == EEXIST ? Created::taken : Created::failed;
    _close(fd);
    return Created::ok;
}

bool delete_file(const char* path) {
    return DeleteFileW(system_name(path).c_str()) != 0;
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
    if (!CopyFileW(system_name(from).c_str(), system_name(to).c_str(), TRUE))
        return GetLastError() == ERROR_FILE_EXISTS ? Created::taken : Created::failed;
    // CopyFile leaves the data in the cache; the copy must be on the disk
    // before it replaces anything.
    HANDLE file =
        CreateFileW(system_name(to).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    bool ok = file != INVALID_HANDLE_VALUE && FlushFileBuffers(file);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    if (!ok) {
        DeleteFileW(system_name(to).c_str());
        return Created::failed;
    }
    return Created::ok;
}

Swap swap_in(const char* target, const char* replacement, const char* backup) {
    // ReplaceFile needs write access to the replaced file: a read-only one
    // loses the attribute for the swap, and both names get it back after.
    const std::wstring target_name = system_name(target), backup_name = system_name(backup);
    DWORD attributes = GetFileAttributesW(target_name.c_str());
    bool read_only =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    if (read_only)
        SetFileAttributesW(target_name.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    Swap result = Swap::done;
    if (!ReplaceFileW(target_name.c_str(), system_name(replacement).c_str(), backup_name.c_str(),
                      REPLACEFILE_WRITE_THROUGH, nullptr, nullptr)) {
        DWORD error = GetLastError();
        // Here the target is already under the backup name and the
        // replacement failed to move: the target goes back.
        if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2)
            MoveFileExW(backup_name.c_str(), target_name.c_str(), MOVEFILE_WRITE_THROUGH);
        result =
            error == ERROR_UNABLE_TO_MOVE_REPLACEMENT || error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2
                ? Swap::replace_failed
                : Swap::backup_failed;
    }
    if (read_only) {
        SetFileAttributesW(target_name.c_str(), attributes);
        if (result == Swap::done)
            SetFileAttributesW(backup_name.c_str(), attributes);
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
    HANDLE file = CreateFileW(system_name(path).c_str(), 0,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
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
    return CompareStringOrdinal(widen(a).c_str(), -1, widen(b).c_str(), -1, TRUE) == CSTR_EQUAL;
}

std::vector<std::string> find_files(const std::string& directory, const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW(system_name((directory + pattern).c_str()).c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    const DWORD excluded = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    do {
        if (!(data.dwFileAttributes & excluded))
            names.push_back(narrow(data.cFileName));
    } while (FindNextFileW(search, &data));
    FindClose(search);
    return names;
}

}  // namespace platform
