// Character classes and cursor steps for reading marked lines. The classes
// are those of the default "C" locale, which the extractor never changes.
#pragma once

#include <cstddef>

namespace protoglean {

// isspace: blank, tab, line feed, vertical tab, form feed, carriage return.
inline bool is_space(unsigned char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// isgraph: the printable characters other than the blank.
inline bool is_graph(unsigned char c) {
    return c > ' ' && c < 0x7f;
}

// True for the bytes that the declaration scan looks at one by one: a zero
// byte, "(", ")", "=", ";", "{" and "[". It takes the others in runs.
inline bool is_scan_stop(unsigned char c) {
    return c == '\0' || c == '(' || c == ')' || c == '=' || c == ';' || c == '{' || c == '[';
}

// The number of bytes at data, of length, before the first for which
// is_scan_stop is true; length when there is none. Vector instructions
// look at 16 bytes at a time where the build has them.
size_t ordinary_run(const char* data, size_t length);

// Moves the cursor over isspace characters, stopping at a line feed; true
// when it then rests on a line feed or the end of the text.
bool skip_blanks(const char** cursor);

// Moves the cursor over isgraph characters; true when it then rests on a
// line feed or the end of the text.
bool skip_word(const char** cursor);

// True when text starts with "_f" or "_v" followed by an isspace character;
// the end of the text is no blank, so a marker ending a line is no marker.
bool is_marker(const char* text);

}  // namespace protoglean
