#include "messages.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>

#include "platform.h"

int error_count = 0;

void complain(bool show_usage, const char* format, ...) {
    va_list args;
    va_start(args, format);
    vfprintf(stderr, format, args);
    va_end(args);
    fputc('\n', stderr);
    fflush(stderr);
    ++error_count;
    if (show_usage)
        usage();
}

bool ask_yes() {
    int key = platform::read_key(true);
    fputc('\n', stdout);
    fflush(stdout);
    return key >= 0 && std::toupper(key) == 'Y';
}

bool ask_more() {
    if (!platform::stdout_is_terminal())
        return true;
    printf("More? (Y/): N%c", 8);
    int key = platform::read_key(false);
    fputs("\r                     \r", stdout);
    fflush(stdout);
    return key >= 0 && std::toupper(key & 0xff) == 'Y';
}
