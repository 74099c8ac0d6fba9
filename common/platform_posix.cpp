#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
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

namespace {

// Copies a file's bytes to a new file; false (and nothing left) on failure.
bool copy_to_new_file(const char* from, const char* to) {
    int in = open(from, O_RDONLY);
    if (in < 0)
        return false;
    struct stat st;
    mode_t mode = fstat(in, &st) == 0 ? (st.st_mode & 07777) : 0666;
    int out = open(to, O_WRONLY | O_CREAT | O_EXCL, mode);
    if (out < 0) {
        close(in);
        return false;
    }
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
        for (ssize_t done = 0; done < n;) {
            ssize_t w = write(out, buffer + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0) {
                ok = false;
                break;
            }
            done += w;
        }
        if (!ok)
            break;
    }
    close(in);
    ok = fsync(out) == 0 && ok;
    ok = close(out) == 0 && ok;
    if (!ok)
        unlink(to);
    return ok;
}

}  // namespace

bool move_file(const char* from, const char* to) {
    if (rename(from, to) == 0)
        return true;
    if (errno != EXDEV)
        return false;
    // Another file system: copy beside the target under a fresh name, rename
    // that into place, and only then delete the source, so the target never
    // holds a partial copy.
    std::string target(to);
    size_t slash = target.rfind('/');
    std::string dir = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    for (unsigned n = 0; n < 10000; ++n) {
        std::string beside = dir + ".move~" + std::to_string(getpid()) + "~" + std::to_string(n);
        if (path_exists(beside.c_str()))
            continue;
        if (!copy_to_new_file(from, beside.c_str())) {
            if (errno == EEXIST)
                continue;
            return false;
        }
        if (rename(beside.c_str(), to) != 0) {
            unlink(beside.c_str());
            return false;
        }
        unlink(from);
        return true;
    }
    return false;
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
