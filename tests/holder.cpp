// Plays another program that holds the organ file in the end-to-end tests,
// on both systems (the Windows build under Wine):
//   holder lock PATH   takes the lock that pravtweak takes on the file;
//   holder open PATH   holds the file open as a plain fopen does (on
//                      Windows without sharing its deletion, as many
//                      programs open a file they read).
// Prints "holding" once it holds the file, then holds it until its standard
// input ends.
#include <cstdio>
#include <cstring>

#include "platform.h"

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    platform::FileLock lock;
    platform::FileStamp stamp;
    FILE* held = nullptr;
    if (strcmp(argv[1], "lock") == 0) {
        if (!platform::stamp_of(argv[2], stamp) ||
            lock.acquire(argv[2], stamp) != platform::Locked::yes)
            return 1;
    } else if (!(held = fopen(argv[2], "rb"))) {
        return 1;
    }
    puts("holding");
    fflush(stdout);
    while (getchar() != EOF) {
    }
    if (held)
        fclose(held);
    return 0;
}
