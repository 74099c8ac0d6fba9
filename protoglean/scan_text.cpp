#include "scan_text.h"

namespace protoglean {

namespace {

bool at_line_end(const char* cursor) {
    return *cursor == '\n' || *cursor == '\0';
}

}  // namespace

bool skip_blanks(const char** cursor) {
    const char* p = *cursor;
    while (*p != '\n' && is_space(static_cast<unsigned char>(*p)))
        ++p;
    *cursor = p;
    return at_line_end(p);
}

bool skip_word(const char** cursor) {
    const char* p = *cursor;
    while (is_graph(static_cast<unsigned char>(*p)))
        ++p;
    *cursor = p;
    return at_line_end(p);
}

bool is_marker(const char* text) {
    return text[0] == '_' && (text[1] == 'f' || text[1] == 'v') &&
           is_space(static_cast<unsigned char>(text[2]));
}

}  // namespace protoglean
