// Preloaded into pravtweak by the end-to-end tests (POSIX only). It sees
// every rename, link, unlink, fsync and write the program makes:
//   FAULT_SHIM_LOG=path    appends one line per call to path;
//   FAULT_SHIM_KILL_AT=N   kills the process with SIGKILL just before the
//                          Nth of those calls, as a power cut would.
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
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

}  // namespace

extern "C" {

int rename(const char* from, const char* to) {
    seen("rename", from, to);
    return next<int (*)(const char*, const char*)>("rename")(from, to);
}

int link(const char* from, const char* to) {
    seen("link", from, to);
    return next<int (*)(const char*, const char*)>("link")(from, to);
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
