#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "platform.h"
#include "wildcard.h"

namespace platform {

void utf8_arguments(int&, char**&) {}

bool is_path_argument(const char* arg) {
    return arg[0] == '/' && arg[1] != '\0' && (std::strchr(arg + 1, '/') || path_exists(arg));
}

bool stdin_is_terminal() {
    return isatty(0) == 1;
}
bool stdout_is_terminal() {
    return isatty(1) == 1;
}

unsigned console_process_count() {
    return 0;
}

bool stdin_reads_console() {
    return stdin_is_terminal();
}

bool change_directory(const char* path) {
    return chdir(path) == 0;
}

namespace {

struct termios saved_terminal;
volatile sig_atomic_t terminal_changed = 0;

void restore_terminal() {
    if (terminal_changed) {
        tcsetattr(0, TCSANOW, &saved_terminal);
        terminal_changed = 0;
    }
}

// An interrupt while a key is awaited must not leave the terminal raw.
void restore_and_reraise(int sig) {
    restore_terminal();
    signal(sig, SIG_DFL);
    raise(sig);
}

const int caught_signals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

}  // namespace

int read_key(bool echo) {
    if (!stdin_is_terminal())
        return -1;
    fflush(stdout);
    if (tcgetattr(0, &saved_terminal) != 0)
        return -1;
    struct sigaction action {
    }, previous[4];
    action.sa_handler = restore_and_reraise;
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < 4; ++i)
        sigaction(caught_signals[i], &action, &previous[i]);

    struct termios raw = saved_terminal;
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON);
    if (echo)
        raw.c_lflag |= ECHO;
    else
        raw.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    terminal_changed = 1;
    int key = -1;
    if (tcsetattr(0, TCSANOW, &raw) == 0) {
        unsigned char c;
        ssize_t n;
        do {
            n = read(0, &c, 1);
        } while (n < 0 && errno == EINTR);
        if (n == 1)
            key = c;
    }
    restore_terminal();
    for (int i = 0; i < 4; ++i)
        sigaction(caught_signals[i], &previous[i], nullptr);
    return key;
}

FILE* open_file(const char* path, const char* mode) {
    struct stat st;
    if (stat(path, &st) == 0 && S_ISDIR(st.st_mode)) {
        errno = EISDIR;
        return nullptr;
    }
    FILE* f = fopen(path, mode);
    if (f && fstat(fileno(f), &st) == 0 && S_ISDIR(st.st_mode)) {
        fclose(f);
        errno = EISDIR;
        return nullptr;
    }
    return f;
}

bool path_exists(const char* path) {
    struct stat st;
    return lstat(path, &st) == 0;
}

bool delete_file(const char* path) {
    return unlink(path) == 0;
}

FILE* open_regular(const char* path) {
    // Non-blocking, so that a FIFO without a writer does not hang the open;
    // the check then refuses it before anything is read.
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        errno = ENOENT;
        return nullptr;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    FILE* f = fdopen(fd, "rb");
    if (!f)
        close(fd);
    return f;
}

std::string final_target(const std::string& path) {
    std::string target = path;
    // As many links as the system itself follows before it gives up.
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return target;
        std::string link(static_cast<size_t>(st.st_size > 0 ? st.st_size : PATH_MAX) + 1, '\0');
        ssize_t n = readlink(target.c_str(), &link[0], link.size());
        if (n < 0 || static_cast<size_t>(n) >= link.size())
            return path;
        link.resize(static_cast<size_t>(n));
        size_t slash = target.rfind('/');
        if (link[0] == '/' || slash == std::string::npos)
            target = link;
        else
            target = target.substr(0, slash + 1) + link;
    }
    return path;
}

void write_errors_instead_of_signals() {
    signal(SIGXFSZ, SIG_IGN);
}

const char* text_line_end() {
    return "\n";
}

FILE* create_private_file(const char* path, Created& result, bool) {
    int fd = open(path, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        result = errno == EEXIST ? Created::taken : Created::failed;
        return nullptr;
    }
    FILE* f = fdopen(fd, "w+b");
    if (!f) {
        close(fd);
        unlink(path);
        result = Created::failed;
        return nullptr;
    }
    result = Created::ok;
    return f;
}

void binary_mode(FILE*) {}

bool sync_file(FILE* f) {
    bool ok = fflush(f) == 0 && !ferror(f);
    return fsync(fileno(f)) == 0 && ok;
}

bool names_file(const char* path, const FileStamp& file) {
    struct stat named;
    return lstat(path, &named) == 0 && S_ISREG(named.st_mode) &&
           static_cast<uint64_t>(named.st_dev) == file.device &&
           static_cast<uint64_t>(named.st_ino) == file.index;
}

void delete_and_close(FILE* f, const char* path) {
    FileStamp file;
    if (stamp_of(f, file) && names_file(path, file))
        unlink(path);
    fclose(f);
}

namespace {

// The access control list decides with the permission bits; user
// attributes are the user's own data. Security labels and the like belong
// to the system, which gives a new file its own.
bool carries_over(const char* attribute) {
    return std::strcmp(attribute, "system.posix_acl_access") == 0 ||
           std::strncmp(attribute, "user.", 5) == 0;
}

// Errors that mean the file system keeps no extended attributes at all.
bool no_attributes(int error) {
    return error == ENOTSUP || error == EOPNOTSUPP || error == ENOSYS;
}

// Copies the attributes that carry over; acl tells whether one of them
// was an access control list.
bool copy_extended_attributes(int from, int to, bool& acl) {
    std::string names;
    for (;;) {
        ssize_t size = flistxattr(from, nullptr, 0);
        if (size < 0)
            return no_attributes(errno);
        names.assign(static_cast<size_t>(size), '\0');
        size = flistxattr(from, &names[0], names.size());
        if (size >= 0) {
            names.resize(static_cast<size_t>(size));
            break;
        }
        if (errno != ERANGE)
            return no_attributes(errno);
    }
    std::string value;
    for (size_t at = 0; at < names.size(); at += std::strlen(&names[at]) + 1) {
        const char* name = &names[at];
        if (!carries_over(name))
            continue;
        ssize_t size = fgetxattr(from, name, nullptr, 0);
        if (size >= 0) {
            value.assign(static_cast<size_t>(size), '\0');
            size = fgetxattr(from, name, &value[0], value.size());
        }
        if (size < 0) {
            if (errno == ENODATA)  // removed meanwhile
                continue;
            return false;
        }
        if (fsetxattr(to, name, value.data(), static_cast<size_t>(size), 0) != 0)
            return false;
        acl = acl || std::strncmp(name, "system.", 7) == 0;
    }
    return true;
}

}  // namespace

bool copy_permissions(FILE* original, FILE* copy) {
    struct stat st;
    if (fstat(fileno(original), &st) != 0)
        return false;
    int fd = fileno(copy);
    mode_t mode = st.st_mode & 0777;
    // The owner first: a change of owner may clear permission bits.
    bool group_set =
        fchown(fd, st.st_uid, st.st_gid) == 0 || fchown(fd, static_cast<uid_t>(-1), st.st_gid) == 0;
    // A file system without modes (vfat) refuses; there is nothing to keep.
    fchmod(fd, group_set ? mode : mode & ~static_cast<mode_t>(070));
    bool acl = false;
    if (!copy_extended_attributes(fileno(original), fd, acl))
        return false;
    // The access control list brings group rights back; a group that could
    // not be set must not have them, nor may named entries through the mask.
    return group_set || !acl || fchmod(fd, mode & ~static_cast<mode_t>(070)) == 0;
}

void default_permissions(FILE* f) {
    mode_t mask = umask(0);
    umask(mask);
    fchmod(fileno(f), 0666 & ~mask);
}

Attributes attributes_of(FILE*) {
    return Attributes();
}

bool set_attributes(const char*, Attributes) {
    return true;
}

bool clear_read_only(const char*) {
    return true;
}

Created hard_link(const char* existing, const char* new_name, bool& no_links) {
    no_links = false;
    if (link(existing, new_name) == 0)
        return Created::ok;
    if (errno == EEXIST)
        return Created::taken;
    // EPERM also when protected hard links refuse a file of another owner.
    no_links = errno == EPERM || errno == ENOTSUP || errno == EOPNOTSUPP || errno == ENOSYS ||
               errno == EMLINK;
    return Created::failed;
}

bool rename_replacing(FILE*, const char* from, const char* to) {
    return rename_file(from, to);
}

bool rename_file(const char* from, const char* to) {
    return rename(from, to) == 0;
}

bool sync_directory_of(const char* path) {
    const char* slash = std::strrchr(path, '/');
    std::string directory = !slash ? "." : slash == path ? "/" : std::string(path, slash);
    int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    // A directory that cannot be opened for reading leaves nothing to do.
    if (fd < 0)
        return true;
    bool ok = fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP || errno == EROFS;
    close(fd);
    return ok;
}

bool wait_until_replaceable(const char*) {
    return true;
}

namespace {

// Takes the lock on fd and keeps fd in handle, or closes fd.
Locked lock_descriptor(int fd, intptr_t& handle) {
    if (fd < 0)
        return Locked::unsupported;
    const int pause_ms = 20;
    int waited = 0;
    while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK || waited >= wait_milliseconds) {
            // ENOLCK, or a file system without such locks: none to be had.
            Locked locked = errno == EWOULDBLOCK ? Locked::busy : Locked::unsupported;
            close(fd);
            return locked;
        }
        usleep(pause_ms * 1000);
        waited += pause_ms;
    }
    handle = fd;
    return Locked::yes;
}

}  // namespace

Locked FileLock::acquire(const char* path, const FileStamp&) {
    release();
    // The lock lives with a descriptor of its own.
    return lock_descriptor(open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC), handle_);
}

Locked FileLock::acquire(FILE* f, const FileStamp&) {
    release();
    // A descriptor of its own keeps the lock when the stream is closed.
    return lock_descriptor(fcntl(fileno(f), F_DUPFD_CLOEXEC, 0), handle_);
}

void FileLock::release() {
    if (handle_ >= 0)
        close(static_cast<int>(handle_));  // closing its last descriptor ends the lock
    handle_ = -1;
}

namespace {

bool stamp_from(const struct stat& st, FileStamp& stamp) {
    stamp.device = static_cast<uint64_t>(st.st_dev);
    stamp.index = static_cast<uint64_t>(st.st_ino);
    stamp.size = static_cast<uint64_t>(st.st_size);
    stamp.modified = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.changed = static_cast<int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    stamp.regular = S_ISREG(st.st_mode);
    return true;
}

}  // namespace

bool stamp_of(const char* path, FileStamp& stamp) {
    struct stat st;
    return stat(path, &st) == 0 && stamp_from(st, stamp);
}

bool stamp_of(FILE* stream, FileStamp& stamp) {
    struct stat st;
    return fstat(fileno(stream), &st) == 0 && stamp_from(st, stamp);
}

bool is_separator(char c) {
    return c == '/';
}

size_t drive_length(const char*) {
    return 0;
}

bool same_name(const char* a, const char* b) {
    return std::strcmp(a, b) == 0;
}

std::vector<std::string> find_files(const std::string& directory, const std::string& pattern) {
    std::vector<std::string> names;
    DIR* dir = opendir(directory.empty() ? "." : directory.c_str());
    if (!dir)
        return names;
    while (struct dirent* entry = readdir(dir)) {
        const char* name = entry->d_name;
        if (name[0] == '.' || !wildcard_match(pattern.c_str(), name))
            continue;
        struct stat st;
        std::string path = directory + name;
        if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            names.emplace_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace platform
