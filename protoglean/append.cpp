#include "append.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace protoglean {

size_t append_format(char* buffer, size_t size, const char* format, ...) {
    if (size < 2)
        return 0;
    char scratch[100];
    va_list args;
    va_start(args, format);
    int written = vsnprintf(scratch, sizeof scratch, format, args);
    va_end(args);
    if (written <= 0)
        return 0;
    size_t used = strlen(buffer);
    if (used >= size - 1)
        return 0;
    size_t count = strlen(scratch);
    if (count > size - 1 - used)
        count = size - 1 - used;
    memcpy(buffer + used, scratch, count);
    buffer[used + count] = '\0';
    return count;
}

char* last_char(char* text) {
    size_t length = strlen(text);
    return length ? text + length - 1 : text;
}

}  // namespace protoglean
