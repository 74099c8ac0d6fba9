#include "extract.h"

#include <cstring>
#include <string>

#include "append.h"
#include "files.h"
#include "input_names.h"
#include "output.h"
#include "plain_lines.h"
#include "scan_text.h"

namespace protoglean {

namespace {

// An output line is built around the declaration text, so that it goes out
// in one write: "extern " before it, ";" and the line feed after it.
constexpr char extern_prefix[] = "extern ";
const size_t prefix_size = sizeof extern_prefix - 1;
char output_line[prefix_size + DECL_SIZE + 1] = "extern ";
char* const decl_text = output_line + prefix_size;

void append(char* text, size_t size, size_t& length, char c) {
    length += append_char(text + length, size - length, c);
}

// Blanks before the stop character do not belong to the declaration; line
// feeds and tabs there stay. Returns the length left.
size_t remove_trailing_blanks(char* text) {
    char* last = last_char(text);
    while (*last == ' ') {
        *last = '\0';
        if (last == text)
            break;
        --last;
    }
    return static_cast<size_t>(last - text) + (*last ? 1 : 0);
}

// True for the white space that may stand between two bracket pairs of one
// array: blanks, tabs and line ends.
bool is_pair_gap(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

// True for the characters of a C identifier or keyword.
bool is_word_char(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// True when the word that begins a bracket pair's contents makes them part
// of a parameter's type: "static" (the array holds at least so many
// elements) or a type qualifier of the pointer the parameter becomes.
bool keeps_first_dimension(const char* word, size_t length) {
    for (const char* keyword : {"static", "const", "volatile", "restrict"})
        if (length == strlen(keyword) && memcmp(word, keyword, length) == 0)
            return true;
    return false;
}

// Length of the attributes ("[[...]]", nested brackets and all) and the
// white space after each that begin text; 0 when it begins with none.
size_t leading_attributes(const char* text) {
    size_t kept = 0;
    while (text[kept] == '[' && text[kept + 1] == '[') {
        size_t i = kept, depth = 0;
        do {
            if (text[i] == '[')
                ++depth;
            else if (text[i] == ']')
                --depth;
            ++i;
        } while (depth > 0 && text[i] != '\0');
        if (depth > 0)
            break;
        while (is_space(static_cast<unsigned char>(text[i])))
            ++i;
        kept = i;
    }
    return kept;
}

// The comment that names each input; a "*/" in the name would end it early,
// so it is written "* /" there.
void write_file_header(const char* name, Output& out) {
    const char start[] = "/* FILE: ", end[] = " *****************************/\n";
    out.write(start, sizeof start - 1);
    for (const char* p = name; *p; ++p) {
        out.put(*p);
        if (p[0] == '*' && p[1] == '/')
            out.put(' ');
    }
    out.write(end, sizeof end - 1);
}

void write_declaration(StopKind stop, size_t length, Output& out) {
    if (stop == StopKind::none) {
        fprintf(stderr, "Unimpressed with %s.\nMissing token?\a\n", decl_text);
        return;
    }
    // Attributes stand before "extern": compilers refuse them after it.
    // They are measured while the text still ends at length.
    size_t attributes = stop == StopKind::external ? leading_attributes(decl_text) : 0;
    decl_text[length] = ';';
    decl_text[length + 1] = '\n';
    if (stop == StopKind::prototype) {
        out.write(decl_text, length + 2);
        return;
    }
    if (attributes == 0) {
        out.write(output_line, prefix_size + length + 2);
        return;
    }
    out.write(decl_text, attributes);
    out.write(extern_prefix, prefix_size);
    out.write(decl_text + attributes, length + 2 - attributes);
}

// Where skip_blanks would stop in the line of length bytes: at the first
// byte that is no isspace character, or at the LF or the end.
size_t first_non_blank(const char* data, size_t length) {
    size_t i = 0;
    if (data[length - 1] == '\n') {
        // The usual indentation, without a bounds test: the LF ends it.
        while (data[i] == ' ' || data[i] == '\t')
            ++i;
        if (data[i] == '\n' || !is_space(static_cast<unsigned char>(data[i])))
            return i;
    }
    while (i < length && data[i] != '\n' && is_space(static_cast<unsigned char>(data[i])))
        ++i;
    return i;
}

// True when the line read as data and length holds text and nothing else
// but its LF. Text is shorter than a piece, so a line without an LF that
// matches ends the file.
bool line_is(const char* data, size_t length, const char* text) {
    size_t text_length = strlen(text);
    if (length == text_length + 1 && data[text_length] == '\n')
        --length;
    return length == text_length && memcmp(data, text, length) == 0;
}

// Writes a copied line whole, however long, with one LF after it: the first
// piece is data and length as the line loop read it, the rest streams
// through the reader piece by piece.
void copy_line(SourceReader& reader, const char* data, size_t length, Output& out) {
    while (data[length - 1] != '\n') {
        out.write(data, length);
        if (!reader.next_piece(&data, &length)) {
            out.put('\n');
            return;
        }
    }
    out.write(data, length);
}

// What the line loop takes a piece of a line for.
enum class Marked { no, copy, declaration };

// Whether the piece (data, length) is "_copy" alone or a marked line. Only
// a piece whose first non-blank is "_" can matter, and most are passed
// over without a copy; the others are copied into line as a C string, with
// cursor on their first non-blank.
Marked marked_line(const char* data, size_t length, char* line, const char** cursor) {
    size_t i = first_non_blank(data, length);
    if (i == length || data[i] != '_')
        return Marked::no;
    memcpy(line, data, length);
    line[data[length - 1] == '\n' ? length - 1 : length] = '\0';
    *cursor = line;
    skip_blanks(cursor);
    if (strcmp(line, "_copy") == 0)
        return Marked::copy;
    return is_marker(*cursor) ? Marked::declaration : Marked::no;
}

}  // namespace

size_t scan_brackets(SourceReader& reader, char* text, size_t size, size_t length,
                     size_t pair_end) {
    // Only an array's first dimension may be left out: a pair that follows
    // another one, and an attribute ("[[" ... "]]"), stay as written.
    bool follows_pair = pair_end <= length;
    for (size_t i = pair_end; follows_pair && i < length; ++i)
        follows_pair = is_pair_gap(text[i]);
    // The pair goes into the text as it comes, as far as it fits, until it
    // is known to be a dimension to leave out.
    size_t added = append_char(text + length, size - length, '[');
    auto take = [&](int c) {
        added += append_char(text + length + added, size - length - added, static_cast<char>(c));
    };
    int c = reader.get();
    bool keep = follows_pair || c == '[';
    if (!keep) {
        // A parameter's "[static N]" or "[const]" stays as written too:
        // without it the declaration would not agree with its definition.
        while (c != EOF && is_space(static_cast<unsigned char>(c))) {
            take(c);
            c = reader.get();
        }
        char word[9];
        size_t word_length = 0;
        for (; c != EOF && is_word_char(static_cast<unsigned char>(c)); c = reader.get()) {
            if (word_length < sizeof word)
                word[word_length] = static_cast<char>(c);
            ++word_length;
            take(c);
        }
        keep = keeps_first_dimension(word, word_length);
        if (!keep) {
            text[length] = '\0';
            added = 0;
            take('[');
            take(']');
        }
    }
    // Up to the matching "]"; a zero byte ends the pair too, unwritten.
    for (size_t depth = 1; c != EOF && c != 0; c = reader.get()) {
        if (c == '[')
            ++depth;
        else if (c == ']')
            --depth;
        if (keep)
            take(c);
        if (depth == 0)
            break;
    }
    return added;
}

StopKind scan_declaration(SourceReader& reader, size_t& nesting, char* text, size_t size) {
    text[0] = '\0';
    size_t length = 0;
    size_t pair_end = std::string::npos;  // where the text stood after the last "[...]"
    StopKind stop = StopKind::none;
    for (;;) {
        // Characters without a meaning of their own are taken in runs, as
        // many as fit.
        length += reader.take_run(ordinary_run, text + length, size - 1 - length);
        text[length] = '\0';

        int c = reader.get();
        if (c == EOF || c == 0)
            break;
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
                length += scan_brackets(reader, text, size, length, pair_end);
                pair_end = length;
                break;
            default:  // the run stopped at the end of the buffer
                append(text, size, length, static_cast<char>(c));
        }
        if (stop != StopKind::none) {
            // The character after the stop character is read as well, and
            // so lost to the line loop.
            reader.get();
            break;
        }
    }
    return stop;
}

namespace {

void extract_declaration(SourceReader& reader, size_t& nesting, Output& out) {
    StopKind stop = scan_declaration(reader, nesting, decl_text, DECL_SIZE);
    write_declaration(stop, remove_trailing_blanks(decl_text), out);
}

// One step of the line loop: reads one piece of a line, or one whole line in
// a copy block, and does what it asks for. False at the end of the file.
bool extract_piece(SourceReader& reader, Output& out, ExtractState& state) {
    char line[LINE_SIZE];
    const char* data;
    size_t length;
    if (!reader.next_line(LINE_SIZE, &data, &length))
        return false;
    if (state.copying) {
        if (line_is(data, length, "_uncopy"))
            state.copying = false;
        else
            copy_line(reader, data, length, out);
        return true;
    }
    const char* cursor;
    Marked marked = marked_line(data, length, line, &cursor);
    if (marked == Marked::copy)
        state.copying = true;
    if (marked != Marked::declaration)
        return true;
    skip_word(&cursor);
    skip_blanks(&cursor);
    reader.reposition(static_cast<size_t>(cursor - line));
    extract_declaration(reader, state.nesting, out);
    return true;
}

// Where the line loop would begin to scan the declaration that the line at
// data marks, as an offset into the line; 0 when the line is no marked line
// or the buffer, which holds length bytes of it, may not hold its first
// piece whole. The piece ends at the LF, where the loop cuts it, or after
// LINE_SIZE - 1 bytes.
size_t declaration_start(const char* data, size_t length) {
    const size_t piece = LINE_SIZE - 1;
    if (length < LINE_SIZE)
        return 0;
    auto is_blank = [data](size_t i) {
        return data[i] != '\n' && is_space(static_cast<unsigned char>(data[i]));
    };
    size_t i = 0;
    while (i < piece - 2 && is_blank(i))
        ++i;
    // The marker's blank must lie in the piece, and be no LF: the loop
    // cuts that off.
    if (i >= piece - 2 || !is_marker(data + i) || data[i + 2] == '\n')
        return 0;
    i += 2;
    while (i < piece && is_blank(i))
        ++i;
    return i;
}

// Writes the whole lines of a copy block that the reader's buffer holds, up
// to the "_uncopy" line; returns the number of bytes written.
size_t copy_buffered_lines(const char* data, size_t length, Output& out) {
    const char* line = data;
    const char* end = data + length;
    while (const void* lf = memchr(line, '\n', static_cast<size_t>(end - line))) {
        const char* next = static_cast<const char*>(lf) + 1;
        if (line_is(line, static_cast<size_t>(next - line), "_uncopy"))
            break;
        line = next;
    }
    size_t count = static_cast<size_t>(line - data);
    out.write(data, count);
    return count;
}

}  // namespace

void extract_source(SourceReader& reader, Output& out, ExtractState& state) {
    // What the buffer holds is passed over, or copied, in bulk as far as
    // the line loop would only pass over it or copy it, and a marked line
    // found there goes straight to its declaration; the loop itself reads
    // the rest, a piece at a time.
    for (;;) {
        size_t length;
        const char* data = reader.ahead(&length);
        if (state.copying) {
            reader.skip(copy_buffered_lines(data, length, out));
        } else {
            size_t plain = skip_plain_lines(data, length, LINE_SIZE - 1);
            size_t start = declaration_start(data + plain, length - plain);
            reader.skip(plain + start);
            if (start) {
                extract_declaration(reader, state.nesting, out);
                continue;
            }
        }
        if (!extract_piece(reader, out, state))
            return;
    }
}

void extract_source_by_piece(SourceReader& reader, Output& out, ExtractState& state) {
    while (extract_piece(reader, out, state)) {
    }
}

void extract_argument(char* input_name, Output& out, size_t reader_capacity, LineScan scan) {
    // Taken anew for each argument, so that a file the output has made
    // since is known as well.
    OutputFile output = out.files();
    ExtractState state;
    SourceReader reader(reader_capacity);
    while (const char* name = next_input_name(input_name, output)) {
        FILE* file;
        checked_fopen(&file, name, "r", true);
        // A name given outright that did not exist before the output was
        // created is the output now.
        if (is_output_file(output, file))
            refuse_output_as_input(name);
        write_file_header(name, out);
        reader.start(file);
        if (scan == LineScan::bulk)
            extract_source(reader, out, state);
        else
            extract_source_by_piece(reader, out, state);
        fclose(file);
    }
}

bool holds_marked_lines(FILE* file) {
    SourceReader reader(file);
    char line[LINE_SIZE];
    const char* data;
    size_t length;
    for (bool first = true; reader.next_line(LINE_SIZE, &data, &length); first = false) {
        if (first && length >= 9 && memcmp(data, "/* FILE: ", 9) == 0)
            return false;
        const char* cursor;
        if (marked_line(data, length, line, &cursor) != Marked::no)
            return true;
    }
    return false;
}

}  // namespace protoglean
