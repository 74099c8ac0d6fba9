// Character classes and cursor steps for reading marked lines. The classes
// are those of the default "C" locale, which the extractor never changes.
#pragma once

namespace protoglean {

// isspace: blank, tab, line feed, vertical tab, form feed, carriage return.
inline bool is_space(unsigned char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// isgraph: the printable characters other than the blank.
inline bool is_graph(unsigned char c) {
    return c > ' ' && c < 0x7f;
}

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
