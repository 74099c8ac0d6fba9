/* Plays another user of a shared directory in the organ-safety tests.
 *   watcher DIR read LOG      tries to read every new temporary file (a
 *                             name ending in ".Q~V") the moment it appears,
 *                             logging "seen NAME" and, when it could open
 *                             it, "read NAME" to LOG;
 *   watcher DIR swap VICTIM   renames every new temporary file away and
 *                             puts a symbolic link to VICTIM in its place.
 * Prints "ready" once it watches; runs until it is killed. */
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/inotify.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 4)
        return 2;
    const char *dir = argv[1], *mode = argv[2], *arg = argv[3];
    int watch = inotify_init();
    if (watch < 0 || inotify_add_watch(watch, dir, IN_CREATE) < 0)
        return 1;
    int reading = strcmp(mode, "read") == 0;
    FILE* log = reading ? fopen(arg, "a") : NULL;
    if (reading && !log)
        return 1;
    puts("ready");
    fflush(stdout);
    char events[8192] __attribute__((aligned(8)));
    for (;;) {
        ssize_t n = read(watch, events, sizeof events);
        for (char* p = events; n > 0 && p < events + n;) {
            struct inotify_event* e = (struct inotify_event*)p;
            p += sizeof *e + e->len;
            size_t length = strlen(e->name);
            if (length < 4 || strcmp(e->name + length - 4, ".Q~V") != 0)
                continue;
            char path[4096], away[4200];
            snprintf(path, sizeof path, "%s/%s", dir, e->name);
            if (reading) {
                int fd = open(path, O_RDONLY | O_NONBLOCK);
                fprintf(log, "seen %s\n", e->name);
                if (fd >= 0) {
                    fprintf(log, "read %s\n", e->name);
                    close(fd);
                }
                fflush(log);
            } else {
                snprintf(away, sizeof away, "%s.away", path);
                if (rename(path, away) == 0)
                    symlink(arg, path);
            }
        }
    }
}
