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

bool move_file(const char* from, const char* to) {
    return MoveFileExA(from, to, MOVEFILE_COPY_ALLOWED | MOVEFILE_REPLACE_EXISTING) != 0;
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
