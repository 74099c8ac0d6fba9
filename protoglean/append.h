// Bounded appending to the fixed text buffers of the extractor.
#pragma once

#include <cstddef>
#include <cstring>

namespace protoglean {

// Formats into a scratch text of 100 characters and appends as much of it as
// fits, so that buffer keeps at most size - 1 characters and its terminator.
// Returns the number of characters appended; a size below 2 appends nothing.
// Callers keep each formatted piece below 100 characters.
size_t append_format(char* buffer, size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// Appends one character under the same limit; returns 1, or 0 when the
// buffer is full. Same result as append_format with "%c", without formatting:
// the declaration scan calls it for every character, on the empty end of its
// text, so that case skips the length count.
inline size_t append_char(char* buffer, size_t size, char c) {
    // A zero byte formats as an empty text.
    if (size < 2 || c == '\0')
        return 0;
    size_t used = buffer[0] == '\0' ? 0 : strlen(buffer);
    if (used >= size - 1)
        return 0;
    buffer[used] = c;
    buffer[used + 1] = '\0';
    return 1;
}

// Position of the last character of text, or of its terminator when the
// text is empty.
char* last_char(char* text);

}  // namespace protoglean
