// Streams the organ file in pieces of at most 999 characters, each ending
// after its line end, through one fixed buffer. A CR LF counts as one
// character, as a Windows text stream reads it, and zero bytes are ordinary
// bytes, so every piece can be written back byte for byte.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

const size_t MAX_PIECE = 999;

struct Piece {
    const char* data;  // valid until the next read
    size_t size;       // bytes, line end included
    bool crlf;         // the piece ends in CR LF
};

class LineSource {
  public:
    static const size_t capacity = 1 << 17;

    // Reads file (opened in binary mode; not owned) from its current position.
    explicit LineSource(FILE* file);
    LineSource(const LineSource&) = delete;
    LineSource& operator=(const LineSource&) = delete;

    // Reads the next piece; false at the end of the input.
    bool next_piece(Piece& piece);

    // Counts pieces in line_number and copies them unchanged to out until a
    // piece contains "<ranks>"; returns true with that piece (not written),
    // or false when the input ended.
    bool copy_until_ranks(FILE* out, int& line_number, Piece& ranks_line);

    // True when a read error, not the end of the file, ended the input.
    bool failed() const { return failed_; }

    // From here on every piece read is also appended to *pieces, as long as
    // they fit in limit bytes in all, until stop_recording; false there when
    // they did not all fit.
    void start_recording(std::string* pieces, size_t limit);
    bool stop_recording();

  private:
    void find_tag();
    void write_pending(size_t upto);
    void refill();
    void skip_short_lines(int& line_number);

    FILE* file_;
    bool failed_ = false;
    bool at_eof_ = false;
    size_t start_ = 0, end_ = 0;  // the unread bytes of buffer_
    size_t tag_ = 0;              // position of the next "<ranks>" at or after start_
    size_t pending_ = 0;          // copy loop: bytes from here to start_ are unwritten
    FILE* copy_to_ = nullptr;     // copy loop: where pending bytes go
    std::string* recording_ = nullptr;
    size_t record_limit_ = 0;
    bool record_whole_ = true;
    std::unique_ptr<char[]> buffer_;
};

// Adds read lines to a line counter; past INT32_MAX it wraps as a 32-bit
// counter does instead of overflowing.
inline void count_lines(int& line_number, size_t lines) {
    line_number =
        static_cast<int>(static_cast<unsigned>(line_number) + static_cast<unsigned>(lines));
}

// True when the piece contains text (zero bytes included).
bool piece_contains(const Piece& piece, const char* text);
