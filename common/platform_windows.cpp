// windows.h first: shellapi.h needs what it defines.
// clang-format off
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
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
// The full path of a name; empty when the system gives none.
std::wstring full_path_of(const std::wstring& wide) {
    DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return std::wstring();
    std::wstring full(size, L'\0');
    DWORD length = GetFullPathNameW(wide.c_str(), size, &full[0], nullptr);
    if (length == 0 || length >= size)
        return std::wstring();
    full.resize(length);
    return full;
}

std::wstring system_name(const char* name) {
    std::wstring wide = widen(name);
    std::wstring full = full_path_of(wide);
    if (full.size() < plain_path_limit)
        return wide;
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

unsigned console_process_count() {
    DWORD processes[4];
    return GetConsoleProcessList(processes, 4);
}

bool stdin_reads_console() {
    DWORD mode;
    return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

bool change_directory(const char* path) {
    return SetCurrentDirectoryW(system_name(path).c_str()) != 0;
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

bool delete_file(const char* path) {
    return DeleteFileW(system_name(path).c_str()) != 0;
}

FILE* open_regular(const char* path) {
    // Shared for deletion too, so that a run that reads the file never
    // stops another program from replacing it.
    HANDLE file = CreateFileW(system_name(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        errno = ENOENT;
        return nullptr;
    }
    // Devices such as NUL or CON open like files; only a disk file counts.
    int fd = GetFileType(file) == FILE_TYPE_DISK
                 ? _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDONLY | _O_BINARY)
                 : -1;
    FILE* f = fd < 0 ? nullptr : _fdopen(fd, "rb");
    if (!f) {
        if (fd < 0)
            CloseHandle(file);
        else
            _close(fd);
        errno = ENOENT;
    }
    return f;
}

namespace {

HANDLE handle_of(FILE* f) {
    return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(f)));
}

// The name as the rename of a handle takes it: a full path, in the long form
// when it is long (the system resolves neither "." nor the current directory
// there).
std::wstring full_system_name(const char* name) {
    std::wstring wide = widen(name);
    std::wstring full = full_path_of(wide);
    if (full.empty())
        return wide;
    return full.size() < plain_path_limit ? full : long_path_form(full);
}

// A path without the long-form prefix, as a user would write it.
std::wstring plain_form(const std::wstring& path) {
    if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0)
        return L"\\\\" + path.substr(8);
    if (path.compare(0, 4, L"\\\\?\\") == 0)
        return path.substr(4);
    return path;
}

// A security descriptor that lets this user alone reach a file; null when
// it cannot be made, and the file then gets what its directory gives.
PSECURITY_DESCRIPTOR private_descriptor() {
    static PSECURITY_DESCRIPTOR descriptor = []() -> PSECURITY_DESCRIPTOR {
        HANDLE token;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
            return nullptr;
        DWORD size = 0;
        GetTokenInformation(token, TokenUser, nullptr, 0, &size);
        std::vector<char> user(size ? size : 1);
        PSECURITY_DESCRIPTOR made = nullptr;
        LPWSTR sid = nullptr;
        if (GetTokenInformation(token, TokenUser, user.data(), size, &size) &&
            ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, &sid)) {
            std::wstring sddl = L"D:P(A;;FA;;;" + std::wstring(sid) + L")";
            if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1,
                                                                      &made, nullptr))
                made = nullptr;
            LocalFree(sid);
        }
        CloseHandle(token);
        return made;
    }();
    return descriptor;
}

bool delete_by_handle(HANDLE file) {
    FILE_DISPOSITION_INFO disposition{TRUE};
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition,
                                      sizeof disposition) != 0;
}

}  // namespace

void write_errors_instead_of_signals() {}

const char* text_line_end() {
    return "\r\n";
}

std::string final_target(const std::string& path) {
    HANDLE file = CreateFileW(system_name(path.c_str()).c_str(), 0,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return path;
    std::wstring final(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(file, &final[0], MAX_PATH, FILE_NAME_NORMALIZED);
    if (length >= MAX_PATH) {
        final.assign(length, L'\0');
        length = GetFinalPathNameByHandleW(file, &final[0], length, FILE_NAME_NORMALIZED);
    }
    CloseHandle(file);
    if (length == 0 || length >= final.size())
        return path;
    final.resize(length);
    // The name as given stays when it already is the file's own path, so
    // that messages show it as the user wrote it.
    std::wstring given = plain_form(full_system_name(path.c_str()));
    final = plain_form(final);
    if (CompareStringOrdinal(given.c_str(), -1, final.c_str(), -1, TRUE) == CSTR_EQUAL)
        return path;
    return narrow(final.c_str());
}

FILE* create_private_file(const char* path, Created& result, bool text) {
    SECURITY_ATTRIBUTES security{sizeof security, private_descriptor(), FALSE};
    // DELETE lets the handle itself be renamed and deleted; WRITE_DAC lets
    // it take the replaced file's security descriptor.
    HANDLE file = CreateFileW(
        system_name(path).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE | READ_CONTROL | WRITE_DAC,
        FILE_SHARE_READ | FILE_SHARE_DELETE, &security, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        result = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? Created::taken
                                                                             : Created::failed;
        return nullptr;
    }
    int fd =
        _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDWR | (text ? _O_TEXT : _O_BINARY));
    FILE* f = fd < 0 ? nullptr : _fdopen(fd, text ? "w+t" : "w+b");
    if (!f) {
        delete_by_handle(file);
        if (fd < 0)
            CloseHandle(file);
        else
            _close(fd);
        result = Created::failed;
        return nullptr;
    }
    result = Created::ok;
    return f;
}

void binary_mode(FILE* f) {
    fflush(f);
    _setmode(_fileno(f), _O_BINARY);
}

bool sync_file(FILE* f) {
    bool ok = fflush(f) == 0 && !ferror(f);
    return FlushFileBuffers(handle_of(f)) && ok;
}

bool names_file(const char* path, const FileStamp& file) {
    HANDLE named = CreateFileW(
        system_name(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (named == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info;
    bool same =
        GetFileInformationByHandle(named, &info) &&
        !(info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) &&
        info.dwVolumeSerialNumber == file.device &&
        ((static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow) == file.index;
    CloseHandle(named);
    return same;
}

void delete_and_close(FILE* f, const char* path) {
    // The handle names the file whatever its name is now: nothing else can
    // be deleted in its place.
    bool deleted = delete_by_handle(handle_of(f));
    fclose(f);
    if (!deleted)
        DeleteFileW(system_name(path).c_str());
}

bool copy_permissions(FILE* original, FILE* copy) {
    // FAT and exFAT keep no access control lists: nothing to copy.
    DWORD flags = 0;
    if (!GetVolumeInformationByHandleW(handle_of(original), nullptr, 0, nullptr, nullptr, &flags,
                                       nullptr, 0) ||
        !(flags & FILE_PERSISTENT_ACLS))
        return true;
    // The descriptor as it stands, inherited entries and their flags
    // included: the file keeps what it would inherit in its directory.
    DWORD size = 0;
    const SECURITY_INFORMATION what = DACL_SECURITY_INFORMATION;
    GetKernelObjectSecurity(handle_of(original), what, nullptr, 0, &size);
    if (size == 0)
        return true;  // a file system without security descriptors
    std::vector<char> descriptor(size);
    if (!GetKernelObjectSecurity(handle_of(original), what, descriptor.data(), size, &size))
        return true;
    return SetKernelObjectSecurity(handle_of(copy), what, descriptor.data()) != 0;
}

void default_permissions(FILE* f) {
    // An empty list that is open to inheritance takes what the directory
    // gives its new files.
    ACL empty;
    if (InitializeAcl(&empty, sizeof empty, ACL_REVISION))
        SetSecurityInfo(handle_of(f), SE_FILE_OBJECT,
                        DACL_SECURITY_INFORMATION | UNPROTECTED_DACL_SECURITY_INFORMATION, nullptr,
                        nullptr, &empty, nullptr);
}

namespace {

const DWORD kept_attributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                              FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                              FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

}  // namespace

Attributes attributes_of(FILE* f) {
    BY_HANDLE_FILE_INFORMATION info;
    Attributes attributes;
    if (GetFileInformationByHandle(handle_of(f), &info))
        attributes.bits = info.dwFileAttributes & kept_attributes;
    return attributes;
}

bool set_attributes(const char* path, Attributes attributes) {
    return SetFileAttributesW(system_name(path).c_str(),
                              attributes.bits ? attributes.bits : FILE_ATTRIBUTE_NORMAL) != 0;
}

bool clear_read_only(const char* path) {
    std::wstring name = system_name(path);
    DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY))
        return true;
    return SetFileAttributesW(name.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY) != 0;
}

Created hard_link(const char* existing, const char* new_name, bool& no_links) {
    no_links = false;
    if (CreateHardLinkW(system_name(new_name).c_str(), system_name(existing).c_str(), nullptr))
        return Created::ok;
    DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
        return Created::taken;
    // FAT and exFAT keep no hard links; a network share may refuse them.
    no_links = error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED ||
               error == ERROR_TOO_MANY_LINKS || error == ERROR_INVALID_PARAMETER;
    return Created::failed;
}

bool rename_replacing(FILE* f, const char*, const char* to) {
    // The open handle itself moves: no other file can take its place
    // between a check of the name and the rename. The rename of POSIX
    // semantics (Windows 10 and later) also replaces a file that another
    // program holds open for reading; older systems take the plain one.
    std::wstring target = full_system_name(to);
    size_t bytes = target.size() * sizeof(wchar_t);
    std::vector<char> buffer(sizeof(FILE_RENAME_INFO) + bytes);
    FILE_RENAME_INFO* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(bytes);
    memcpy(rename->FileName, target.c_str(), bytes);
    const DWORD replace_if_exists = 0x1, posix_semantics = 0x2;
    DWORD flags = replace_if_exists | posix_semantics;
    memcpy(buffer.data(), &flags, sizeof flags);  // the Flags of the Ex form
    if (fflush(f) != 0)
        return false;
    HANDLE file = handle_of(f);
    // FileRenameInfoEx, which older headers lack.
    const FILE_INFO_BY_HANDLE_CLASS rename_ex = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);
    if (!SetFileInformationByHandle(file, rename_ex, rename, static_cast<DWORD>(buffer.size()))) {
        DWORD error = GetLastError();
        if (error != ERROR_INVALID_PARAMETER && error != ERROR_NOT_SUPPORTED &&
            error != ERROR_INVALID_FUNCTION)
            return false;
        // The plain rename fails while any program holds the target open,
        // as another run does for a moment when it reads it, or a virus
        // scanner: it is tried again for up to two seconds.
        memset(buffer.data(), 0, sizeof flags);
        rename->ReplaceIfExists = TRUE;
        for (int tries = 0; !SetFileInformationByHandle(file, FileRenameInfo, rename,
                                                        static_cast<DWORD>(buffer.size()));
             ++tries) {
            error = GetLastError();
            if ((error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) || tries == 40)
                return false;
            Sleep(50);
        }
    }
    return FlushFileBuffers(file) != 0;
}

bool rename_file(const char* from, const char* to) {
    return MoveFileExW(system_name(from).c_str(), system_name(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool sync_directory_of(const char*) {
    return true;
}

bool wait_until_replaceable(const char* path) {
    // The rename that replaces a file needs its deletion shared by every
    // program that holds it open; a program that holds it open for good
    // must fail the run before a second name of the file is made.
    std::wstring name = system_name(path);
    const DWORD pause_ms = 50;
    for (DWORD waited = 0;; waited += pause_ms) {
        HANDLE file = CreateFileW(name.c_str(), DELETE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            return true;
        }
        // Any other refusal is the rename's to report.
        if (GetLastError() != ERROR_SHARING_VIOLATION)
            return true;
        if (waited >= wait_milliseconds)
            return false;
        Sleep(pause_ms);
    }
}

Locked FileLock::acquire(const char*, const FileStamp& file) {
    release();
    // One name per file, in the namespace that all sessions share when the
    // system allows it; open to every user, since every user who can
    // replace the file must wait for it.
    std::wstring name = L"pravtools";
    for (uint64_t part : {file.device, file.index}) {
        name += L'-';
        for (int shift = 60; shift >= 0; shift -= 4)
            name += L"0123456789abcdef"[(part >> shift) & 0xf];
    }
    PSECURITY_DESCRIPTOR open_to_all = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;;0x1F0001;;;WD)", SDDL_REVISION_1,
                                                         &open_to_all, nullptr);
    SECURITY_ATTRIBUTES security{sizeof security, open_to_all, FALSE};
    HANDLE mutex = CreateMutexW(&security, FALSE, (L"Global\\" + name).c_str());
    if (!mutex)
        mutex = CreateMutexW(&security, FALSE, (L"Local\\" + name).c_str());
    LocalFree(open_to_all);
    // A name taken first by another user, closed to this one, gives no lock.
    if (!mutex)
        return Locked::unsupported;
    // An abandoned mutex is one whose run died: the system gave it up.
    DWORD waited = WaitForSingleObject(mutex, wait_milliseconds);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        CloseHandle(mutex);
        return waited == WAIT_TIMEOUT ? Locked::busy : Locked::unsupported;
    }
    handle_ = reinterpret_cast<intptr_t>(mutex);
    return Locked::yes;
}

Locked FileLock::acquire(FILE*, const FileStamp& file) {
    return acquire(static_cast<const char*>(nullptr), file);
}

void FileLock::release() {
    if (handle_ != -1) {
        HANDLE mutex = reinterpret_cast<HANDLE>(handle_);
        ReleaseMutex(mutex);
        CloseHandle(mutex);
    }
    handle_ = -1;
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
    FILE_BASIC_INFO basic;
    stamp.changed = GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic)
                        ? basic.ChangeTime.QuadPart
                        : 0;
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
