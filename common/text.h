// Small text helpers shared by both programs.
#pragma once

#include <cstddef>
#include <cstdint>

// Position of the first case-insensitive occurrence of pattern in text, or
// null; an empty pattern finds nothing.
const char* find_nocase(const char* text, const char* pattern);

// Moves the cursor over blanks (bytes 1 to 32 other than the line feed);
// true when it then rests on a line feed or the end of the text.
bool skip_blanks(const char** cursor);

// First occurrence of needle in the first size bytes of data, zero bytes
// included; null when there is none.
const char* find_bytes(const char* data, size_t size, const char* needle, size_t needle_size);

// Reads an optional sign and the decimal digits after it from the start of
// text. A digit run too long for 32 bits gives INT32_MAX or INT32_MIN; no
// digits give 0. *end, when given, points after the last character used.
int32_t read_decimal(const char* text, const char** end = nullptr);
