#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
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

Created create_exclusive(const char* path) {
    int fd = open(path, O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (fd < 0)
        return errno == EEXIST ? Created::taken : Created::failed;
    close(fd);
    return Created::ok;
}

bool delete_file(const char* path) {
    return unlink(path) == 0;
}

bool commit_and_close(FILE* f) {
    bool ok = fflush(f) == 0 && !ferror(f);
    ok = fsync(fileno(f)) == 0 && ok;
    return fclose(f) == 0 && ok;
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

void take_permissions(FILE* original, FILE* copy) {
    struct stat st;
    if (fstat(fileno(original), &st) != 0)
        return;
    int fd = fileno(copy);
    mode_t mode = st.st_mode & 0777;
    // The owner first: a change of owner may clear permission bits. A group
    // that may not be set keeps no permissions, so that the text never
    // reaches a group that could not read it before.
    if (fchown(fd, st.st_uid, st.st_gid) != 0 && fchown(fd, static_cast<uid_t>(-1), st.st_gid) != 0)
        mode &= ~static_cast<mode_t>(070);
    fchmod(fd, mode);
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

namespace {

// Writes all of size bytes; false on an error.
bool write_all(int fd, const char* data, size_t size) {
    while (size > 0) {
        ssize_t w = write(fd, data, size);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0)
            return false;
        data += w;
        size -= static_cast<size_t>(w);
    }
    return true;
}

// The directory part of a path, "." when it has none.
std::string directory_of(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Syncs a directory's entries to the disk. False only when the disk
// reports an error: a directory that cannot be opened for reading, or a file
// system that cannot sync directories, leaves nothing more to do.
bool sync_directory(const std::string& directory) {
    int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return true;
    bool ok = fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP || errno == EROFS;
    close(fd);
    return ok;
}

// Errors of link() that mean the file system keeps no hard links there.
bool no_hard_links(int error) {
    return error == EPERM || error == ENOTSUP || error == EOPNOTSUPP || error == ENOSYS ||
           error == EMLINK;
}

}  // namespace

Created copy_to_new_file(const char* from, const char* to) {
    int in = open(from, O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return Created::failed;
    struct stat st;
    if (fstat(in, &st) != 0) {
        close(in);
        return Created::failed;
    }
    int out = open(to, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 0777);
    if (out < 0) {
        int error = errno;
        close(in);
        return error == EEXIST ? Created::taken : Created::failed;
    }
    if (fchown(out, st.st_uid, st.st_gid) == 0)
        fchmod(out, st.st_mode & 0777);
    static char buffer[1 << 16];
    bool ok = true;
    for (;;) {
        ssize_t n = read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        if (!write_all(out, buffer, static_cast<size_t>(n))) {
            ok = false;
            break;
        }
    }
    close(in);
    ok = fsync(out) == 0 && ok;
    ok = close(out) == 0 && ok;
    if (!ok) {
        unlink(to);
        return Created::failed;
    }
    return Created::ok;
}

Swap swap_in(const char* target, const char* replacement, const char* backup) {
    // The backup name gets the previous content while the target's name
    // still holds it; only where hard links are missing does it move away.
    bool linked = link(target, backup) == 0;
    if (!linked && (!no_hard_links(errno) || rename(target, backup) != 0))
        return Swap::backup_failed;
    if (rename(replacement, target) != 0) {
        if (!linked)
            rename(backup, target);
        return Swap::replace_failed;
    }
    // Until the directories reach the disk a power cut may bring the old
    // names back; a swap that cannot be made durable is undone.
    const std::string target_directory = directory_of(target);
    const std::string replacement_directory = directory_of(replacement);
    if (!sync_directory(target_directory) ||
        (replacement_directory != target_directory && !sync_directory(replacement_directory))) {
        rename(backup, target);
        return Swap::replace_failed;
    }
    return Swap::done;
}

namespace {

bool stamp_from(const struct stat& st, FileStamp& stamp) {
    stamp.device = static_cast<uint64_t>(st.st_dev);
    stamp.index = static_cast<uint64_t>(st.st_ino);
    stamp.size = static_cast<uint64_t>(st.st_size);
    stamp.modified = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
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
