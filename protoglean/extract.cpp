#include "extract.h"

#include <cstring>

#include "append.h"
#include "files.h"
#include "input_names.h"
#include "scan_text.h"

namespace protoglean {

namespace {

char decl_text[DECL_SIZE];

void append(char* text, size_t size, size_t& length, char c) {
    length += append_char(text + length, size - length, c);
}

// Blanks before the stop character do not belong to the declaration; line
// feeds and tabs there stay.
void remove_trailing_blanks(char* text) {
    char* last = last_char(text);
    while (*last == ' ') {
        *last = '\0';
        if (last == text)
            break;
        --last;
    }
}

void write_declaration(StopKind stop, const char* text, FILE* out) {
    switch (stop) {
        case StopKind::external:
            fputs("extern ", out);
            fputs(text, out);
            fputs(";\n", out);
            break;
        case StopKind::prototype:
            fputs(text, out);
            fputs(";\n", out);
            break;
        case StopKind::none:
            fprintf(stderr, "Unimpressed with %s.\nMissing token?\a\n", text);
            break;
    }
}

}  // namespace

StopKind scan_declaration(SourceReader& reader, size_t& nesting, char* text, size_t size) {
    text[0] = '\0';
    size_t length = 0;
    StopKind stop = StopKind::none;
    // The end test follows the read, so the character after the stop
    // character is read too, and lost to the line loop.
    for (int c = reader.get(); c != EOF && c != 0 && stop == StopKind::none; c = reader.get()) {
        switch (c) {
            case '(':
                ++nesting;
                append(text, size, length, '(');
                break;
            case ')':
                if (nesting)
                    --nesting;
                append(text, size, length, ')');
                break;
            case '=':
                if (nesting == 0)
                    stop = StopKind::external;
                else
                    append(text, size, length, '=');
                break;
            case ';':
                stop = StopKind::external;
                break;
            case '{':
                stop = StopKind::prototype;
                break;
            case '[':
                length += append_format(text + length, size - length, "[]");
                do {
                    c = reader.get();
                } while (c != ']' && c != 0 && c != EOF);
                break;
            default:
                append(text, size, length, static_cast<char>(c));
        }
    }
    return stop;
}

void extract_source(SourceReader& reader, FILE* out, ExtractState& state) {
    char line[LINE_SIZE];
    const char* data;
    size_t length;
    while (reader.next_line(LINE_SIZE, &data, &length)) {
        // Most lines start with neither a blank nor "_" and cannot matter
        // outside a copy block.
        unsigned char first = static_cast<unsigned char>(data[0]);
        if (!state.copying && first != '_' && !is_space(first))
            continue;
        memcpy(line, data, length);
        line[data[length - 1] == '\n' ? length - 1 : length] = '\0';
        const char* cursor = line;
        skip_blanks(&cursor);
        if (state.copying) {
            if (strcmp(line, "_uncopy") == 0) {
                state.copying = false;
            } else {
                fputs(line, out);
                putc('\n', out);
            }
            continue;
        }
        if (strcmp(line, "_copy") == 0) {
            state.copying = true;
            continue;
        }
        if (!is_marker(cursor))
            continue;
        skip_word(&cursor);
        skip_blanks(&cursor);
        reader.reposition(static_cast<size_t>(cursor - line));
        StopKind stop = scan_declaration(reader, state.nesting, decl_text, sizeof decl_text);
        remove_trailing_blanks(decl_text);
        write_declaration(stop, decl_text, out);
    }
}

void extract_argument(char* input_name, FILE* out) {
    ExtractState state;
    while (const char* name = next_input_name(input_name)) {
        FILE* file;
        checked_fopen(&file, name, "r", true);
        fprintf(out, "/* FILE: %s *****************************/\n", name);
        {
            SourceReader reader(file);
            extract_source(reader, out, state);
        }
        fclose(file);
    }
}

}  // namespace protoglean
