#include "version.h"

#include <cstdio>
#include <cstring>

bool shows_version(int argc, char** argv, const char* name) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("%s %s\n", name, PRAVTOOLS_VERSION);
            return true;
        }
    }
    return false;
}
