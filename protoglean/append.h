// Bounded appending to the fixed text buffers of the extractor.
#pragma once

#include <cstddef>

namespace protoglean {

// Formats into a scratch text of 100 characters and appends as much of it as
// fits, so that buffer keeps at most size - 1 characters and its terminator.
// Returns the number of characters appended; a size below 2 appends nothing.
// Callers keep each formatted piece below 100 characters.
size_t append_format(char* buffer, size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// Appends one character under the same limit; returns 1, or 0 when the
// buffer is full. Same result as append_format with "%c", without formatting,
// because the declaration scan calls it for every character.
size_t append_char(char* buffer, size_t size, char c);

// Position of the last character of text, or of its terminator when the
// text is empty.
char* last_char(char* text);

}  // namespace protoglean
