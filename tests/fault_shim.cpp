// Preloaded into pravtweak by the end-to-end tests (POSIX only). It sees
// every rename, link, unlink, fsync, fsetxattr, flock and write the program
// makes:
//   FAULT_SHIM_LOG=path    appends one line per call to path;
//   FAULT_SHIM_KILL_AT=N   kills the process with SIGKILL just before the
//                          Nth of those calls, as a power cut would;
//   FAULT_SHIM_REFUSE=a,b  makes the calls named fail, as protected hard
//                          links or a file system that keeps no such
//                          attribute (EPERM) or lock (flock: ENOLCK) would.
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

template <typename F>
F next(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

using WriteFn = ssize_t (*)(int, const void*, size_t);

// Counts the call and logs it; kills the process at the chosen call.
void seen(const char* what, const char* a = "", const char* b = "") {
    static long calls = 0;
    static const long kill_at =
        getenv("FAULT_SHIM_KILL_AT") ? atol(getenv("FAULT_SHIM_KILL_AT")) : 0;
    if (++calls == kill_at)
        kill(getpid(), SIGKILL);
    const char* log = getenv("FAULT_SHIM_LOG");
    if (!log)
        return;
    static WriteFn real_write = next<WriteFn>("write");
    char line[8192];
    int n = snprintf(line, sizeof line, "%s %s %s\n", what, a, b);
    int fd = open(log, O_WRONLY | O_APPEND | O_CREAT, 0644);
    if (fd >= 0) {
        real_write(fd, line,
                   n < 0                                  ? 0
                   : static_cast<size_t>(n) < sizeof line ? n
                                                          : sizeof line - 1);
        close(fd);
    }
}

// True when the call is to fail; errno is set to error then.
bool refused(const char* what, int error = EPERM) {
    const char* list = getenv("FAULT_SHIM_REFUSE");
    size_t length = strlen(what);
    for (const char* p = list; p && (p = strstr(p, what)); p += length) {
        if ((p == list || p[-1] == ',') && (p[length] == ',' || p[length] == '\0')) {
            errno = error;
            return true;
        }
    }
    return false;
}

}  // namespace

extern "C" {

int rename(const char* from, const char* to) {
    seen("rename", from, to);
    return next<int (*)(const char*, const char*)>("rename")(from, to);
}

int link(const char* from, const char* to) {
    seen("link", from, to);
    if (refused("link"))
        return -1;
    return next<int (*)(const char*, const char*)>("link")(from, to);
}

int fsetxattr(int fd, const char* name, const void* value, size_t size, int flags) {
    seen("fsetxattr", name);
    if (refused("fsetxattr"))
        return -1;
    return next<int (*)(int, const char*, const void*, size_t, int)>("fsetxattr")(fd, name, value,
                                                                                  size, flags);
}

int flock(int fd, int operation) {
    seen("flock");
    if (refused("flock", ENOLCK))
        return -1;
    return next<int (*)(int, int)>("flock")(fd, operation);
}

int unlink(const char* path) {
    seen("unlink", path);
    return next<int (*)(const char*)>("unlink")(path);
}

int fsync(int fd) {
    struct stat st;
    seen("fsync", fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) ? "directory" : "file");
    return next<int (*)(int)>("fsync")(fd);
}

ssize_t write(int fd, const void* data, size_t size) {
    // Standard error and output are the program's messages, not its files.
    if (fd > 2)
        seen("write");
    return next<WriteFn>("write")(fd, data, size);
}
}
