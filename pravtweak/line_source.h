// Streams the organ file in pieces of at most 999 characters, each ending
// after its line end, through one fixed buffer. A CR LF counts as one
// character, as a Windows text stream reads it, and zero bytes are ordinary
// bytes, so every piece can be written back byte for byte.
#pragma once

#include <cstddef>
#include <cstdio>

const size_t MAX_PIECE = 999;

struct Piece {
    const char* data;  // valid until the next read
    size_t size;       // bytes, line end included
    bool crlf;         // the piece ends in CR LF
};

struct LineSource {
    FILE* file = nullptr;
    bool failed = false;  // a read error ended the input
    // Internal state.
    bool at_eof = false;
    size_t start = 0, end = 0;
    size_t tag = 0;           // position of the next "<ranks>" at or after start
    size_t pending = 0;       // copy loop: bytes from here to start are unwritten
    FILE* copy_to = nullptr;  // copy loop: where pending bytes go
    static const size_t capacity = 1 << 17;
    char buffer[capacity];
};

// Reads the next piece; false at the end of the input.
bool next_piece(LineSource& source, Piece& piece);

// Adds read lines to a line counter; past INT32_MAX it wraps as a 32-bit
// counter does instead of overflowing.
inline void count_lines(int& line_number, size_t lines) {
    line_number =
        static_cast<int>(static_cast<unsigned>(line_number) + static_cast<unsigned>(lines));
}

// True when the piece contains text (zero bytes included).
bool piece_contains(const Piece& piece, const char* text);

// Counts pieces in line_number and copies them unchanged to out until a
// piece contains "<ranks>"; returns true with that piece (not written), or
// false when the input ended.
bool copy_until_ranks(LineSource& source, FILE* out, int& line_number, Piece& ranks_line);
