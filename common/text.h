// Small text helpers shared by both programs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// A decimal digit, whatever the sign of char.
inline bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// White space as the INI model and the rank reader trim it: blank, tab, line
// feed, vertical tab, form feed and carriage return; never a byte above 127.
inline bool is_white(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The text without the white space around it.
std::string_view trim_white(std::string_view text);

// Whether the first n bytes of a and b are equal with letters folded to upper
// case; neither may be shorter than n.
bool equal_nocase(const char* a, const char* b, size_t n);

// Whether text starts with prefix, letter case ignored.
bool starts_nocase(std::string_view text, std::string_view prefix);

// Whether the two texts are equal, letter case ignored.
bool same_nocase(std::string_view a, std::string_view b);

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
