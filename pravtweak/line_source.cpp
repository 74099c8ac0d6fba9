#include "line_source.h"

#include <cstring>

#include "text.h"

namespace {

const char ranks_tag[] = "<ranks>";
const size_t ranks_tag_size = sizeof ranks_tag - 1;

// Counts the line feeds in at most 255 bytes. A byte-wide count lets the
// compiler turn the loop into vector code that adds 16 or 32 bytes at a time.
unsigned count_line_feeds(const char* p, unsigned n) {
    unsigned char count = 0;
    for (unsigned i = 0; i < n; ++i)
        count = static_cast<unsigned char>(count + (p[i] == '\n'));
    return count;
}

}  // namespace

LineSource::LineSource(FILE* file) : file_(file), buffer_(new char[capacity]) {}

// Finds the next "<ranks>" by its rarest letter: a memchr for "<" would stop
// at every tag of the file.
void LineSource::find_tag() {
    const size_t k_offset = 4;  // "<ranks>"[4] == 'k'
    tag_ = end_;
    if (end_ - start_ < ranks_tag_size)
        return;
    const char* first = buffer_.get() + start_ + k_offset;
    const char* last = buffer_.get() + end_ - (ranks_tag_size - k_offset);
    for (const char* p = first; p <= last; ++p) {
        p = static_cast<const char*>(memchr(p, 'k', static_cast<size_t>(last - p) + 1));
        if (!p)
            return;
        if (memcmp(p - k_offset, ranks_tag, ranks_tag_size) == 0) {
            tag_ = static_cast<size_t>(p - k_offset - buffer_.get());
            return;
        }
    }
}

void LineSource::write_pending(size_t upto) {
    if (copy_to_ && upto > pending_)
        fwrite(buffer_.get() + pending_, 1, upto - pending_, copy_to_);
    pending_ = upto;
}

// Moves the unread bytes to the front and reads more behind them.
void LineSource::refill() {
    write_pending(start_);
    size_t left = end_ - start_;
    memmove(buffer_.get(), buffer_.get() + start_, left);
    start_ = pending_ = 0;
    end_ = left;
    while (!at_eof_ && end_ < capacity) {
        size_t n = fread(buffer_.get() + end_, 1, capacity - end_, file_);
        end_ += n;
        if (n == 0) {
            at_eof_ = true;
            failed_ = ferror(file_) != 0;
        }
    }
    find_tag();
}

// Passes over the whole lines before the next "<ranks>" while every window
// of 480 bytes holds a line feed: no two line feeds are then more than 959
// bytes apart, so each line is one piece and the line feeds count them
// without looking at each line.
void LineSource::skip_short_lines(int& line_number) {
    const unsigned half = 240, window = 2 * half;
    const char* buffer = buffer_.get();
    size_t p = start_, lines = 0;
    while (p + window <= tag_) {
        size_t n = count_line_feeds(buffer + p, half) + count_line_feeds(buffer + p + half, half);
        if (n == 0)
            break;
        lines += n;
        p += window;
    }
    if (lines == 0)
        return;
    size_t last = p - 1;
    while (buffer[last] != '\n')
        --last;
    start_ = last + 1;
    count_lines(line_number, lines);
}

bool LineSource::next_piece(Piece& piece) {
    // A piece may take MAX_PIECE characters plus the LF of a final CR LF.
    if (end_ - start_ <= MAX_PIECE && !at_eof_)
        refill();
    size_t available = end_ - start_;
    if (available == 0)
        return false;
    const char* begin = buffer_.get() + start_;
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
    start_ += size;
    if (recording_) {
        record_whole_ = record_whole_ && recording_->size() + size <= record_limit_;
        if (record_whole_)
            recording_->append(begin, size);
    }
    return true;
}

void LineSource::start_recording(std::string* pieces, size_t limit) {
    recording_ = pieces;
    record_limit_ = limit;
    record_whole_ = true;
}

bool LineSource::stop_recording() {
    recording_ = nullptr;
    return record_whole_;
}

bool LineSource::copy_until_ranks(FILE* out, int& line_number, Piece& ranks_line) {
    copy_to_ = out;
    pending_ = start_;
    find_tag();
    bool found = false;
    Piece piece;
    for (;;) {
        skip_short_lines(line_number);
        if (!next_piece(piece))
            break;
        count_lines(line_number, 1);
        size_t piece_start = static_cast<size_t>(piece.data - buffer_.get());
        if (tag_ < start_) {
            // The tag starts in this piece; a tag cut by the piece's end
            // does not count.
            if (tag_ + ranks_tag_size <= start_) {
                write_pending(piece_start);
                ranks_line = piece;
                found = true;
                break;
            }
            find_tag();
        }
    }
    if (!found)
        write_pending(start_);
    copy_to_ = nullptr;
    return found;
}

bool piece_contains(const Piece& piece, const char* text) {
    return find_bytes(piece.data, piece.size, text, strlen(text)) != nullptr;
}
