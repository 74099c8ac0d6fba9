#include "line_source.h"

#include <cstring>

#include "text.h"

namespace {

const char ranks_tag[] = "<ranks>";
const size_t ranks_tag_size = sizeof ranks_tag - 1;

// Finds the next "<ranks>" by its rarest letter: a memchr for "<" would
// stop at every tag of the file.
void find_tag(LineSource& s) {
    const size_t k_offset = 4;  // "<ranks>"[4] == 'k'
    s.tag = s.end;
    if (s.end - s.start < ranks_tag_size)
        return;
    const char* first = s.buffer + s.start + k_offset;
    const char* last = s.buffer + s.end - (ranks_tag_size - k_offset);
    for (const char* p = first; p <= last; ++p) {
        p = static_cast<const char*>(memchr(p, 'k', static_cast<size_t>(last - p) + 1));
        if (!p)
            return;
        if (memcmp(p - k_offset, ranks_tag, ranks_tag_size) == 0) {
            s.tag = static_cast<size_t>(p - k_offset - s.buffer);
            return;
        }
    }
}

void write_pending(LineSource& s, size_t upto) {
    if (s.copy_to && upto > s.pending)
        fwrite(s.buffer + s.pending, 1, upto - s.pending, s.copy_to);
    s.pending = upto;
}

// Moves the unread bytes to the front and reads more behind them.
void refill(LineSource& s) {
    write_pending(s, s.start);
    size_t left = s.end - s.start;
    memmove(s.buffer, s.buffer + s.start, left);
    s.start = s.pending = 0;
    s.end = left;
    while (!s.at_eof && s.end < LineSource::capacity) {
        size_t n = fread(s.buffer + s.end, 1, LineSource::capacity - s.end, s.file);
        s.end += n;
        if (n == 0) {
            s.at_eof = true;
            s.failed = ferror(s.file) != 0;
        }
    }
    find_tag(s);
}

// Counts the line feeds in at most 255 bytes. A byte-wide count lets the
// compiler turn the loop into vector code that adds 16 or 32 bytes at a time.
unsigned count_line_feeds(const char* p, unsigned n) {
    unsigned char count = 0;
    for (unsigned i = 0; i < n; ++i)
        count = static_cast<unsigned char>(count + (p[i] == '\n'));
    return count;
}

// Passes over the whole lines before the next "<ranks>" while every window
// of 480 bytes holds a line feed: no two line feeds are then more than 959
// bytes apart, so each line is one piece and the line feeds count them
// without looking at each line.
void skip_short_lines(LineSource& s, int& line_number) {
    const unsigned half = 240, window = 2 * half;
    size_t p = s.start, lines = 0;
    while (p + window <= s.tag) {
        size_t n =
            count_line_feeds(s.buffer + p, half) + count_line_feeds(s.buffer + p + half, half);
        if (n == 0)
            break;
        lines += n;
        p += window;
    }
    if (lines == 0)
        return;
    size_t last = p - 1;
    while (s.buffer[last] != '\n')
        --last;
    s.start = last + 1;
    count_lines(line_number, lines);
}

}  // namespace

bool next_piece(LineSource& s, Piece& piece) {
    // A piece may take MAX_PIECE characters plus the LF of a final CR LF.
    if (s.end - s.start <= MAX_PIECE && !s.at_eof)
        refill(s);
    size_t available = s.end - s.start;
    if (available == 0)
        return false;
    const char* begin = s.buffer + s.start;
    size_t limit = available < MAX_PIECE ? available : MAX_PIECE;
    size_t size = limit;
    const char* lf = static_cast<const char*>(memchr(begin, '\n', limit));
    if (lf) {
        size = static_cast<size_t>(lf - begin) + 1;
    } else if (limit == MAX_PIECE && available > MAX_PIECE && begin[MAX_PIECE - 1] == '\r' &&
               begin[MAX_PIECE] == '\n') {
        size = MAX_PIECE + 1;
    }
    piece.data = begin;
    piece.size = size;
    piece.crlf = size >= 2 && begin[size - 1] == '\n' && begin[size - 2] == '\r';
    s.start += size;
    return true;
}

bool piece_contains(const Piece& piece, const char* text) {
    return find_bytes(piece.data, piece.size, text, strlen(text)) != nullptr;
}

bool copy_until_ranks(LineSource& s, FILE* out, int& line_number, Piece& ranks_line) {
    s.copy_to = out;
    s.pending = s.start;
    find_tag(s);
    bool found = false;
    Piece piece;
    for (;;) {
        skip_short_lines(s, line_number);
        if (!next_piece(s, piece))
            break;
        count_lines(line_number, 1);
        size_t piece_start = static_cast<size_t>(piece.data - s.buffer);
        if (s.tag < s.start) {
            // The tag starts in this piece; a tag cut by the piece's end
            // does not count.
            if (s.tag + ranks_tag_size <= s.start) {
                write_pending(s, piece_start);
                ranks_line = piece;
                found = true;
                break;
            }
            find_tag(s);
        }
    }
    if (!found)
        write_pending(s, s.start);
    s.copy_to = nullptr;
    return found;
}
