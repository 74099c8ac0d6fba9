// Reads a C source through one large buffer, the way the extractor needs it:
// line by line with fgets' length limit, and character by character from any
// point of the line just read. The bytes are those of a text stream: a CR
// right before an LF is dropped, so a file with CR LF line ends reads the
// same on every platform; zero bytes and lone CRs are kept.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstring>

namespace protoglean {

class SourceReader {
  public:
    static const size_t default_capacity = size_t(1) << 20;

    // Reads file (opened in binary mode; not owned) through a buffer of
    // capacity bytes, at least twice the largest line size asked for.
    explicit SourceReader(FILE* file, size_t capacity = default_capacity);
    ~SourceReader();
    SourceReader(const SourceReader&) = delete;
    SourceReader& operator=(const SourceReader&) = delete;

    // The next line as fgets(buffer, size) would read it: at most size - 1
    // bytes, ending after the first LF. The bytes stay valid until the next
    // call. False at the end of the file.
    bool next_line(size_t size, const char** data, size_t* length) {
        if (end_ - pos_ < size && !at_eof_)
            fill();
        size_t available = end_ - pos_;
        if (available == 0)
            return false;
        const char* begin = buffer_ + pos_;
        size_t limit = available < size - 1 ? available : size - 1;
        const void* lf = memchr(begin, '\n', limit);
        *length = lf ? static_cast<size_t>(static_cast<const char*>(lf) - begin) + 1 : limit;
        *data = begin;
        line_start_ = pos_;
        pos_ += *length;
        return true;
    }

    // Goes back to offset bytes after the start of the line just read, so
    // that get continues from there.
    void reposition(size_t offset) { pos_ = line_start_ + offset; }

    // The next byte (0 to 255), or EOF.
    int get() {
        if (pos_ == end_) {
            fill();
            if (pos_ == end_)
                return EOF;
        }
        return static_cast<unsigned char>(buffer_[pos_++]);
    }

  private:
    // Keeps the unread bytes and reads as many more as fit behind them.
    void fill();

    FILE* file_;
    char* buffer_;
    size_t capacity_;
    size_t pos_ = 0, end_ = 0, line_start_ = 0;
    bool at_eof_ = false;
    // A CR that ended the last read; whether it is dropped depends on the
    // byte that the next read brings.
    bool held_cr_ = false;
};

// Removes every CR that stands right before an LF; returns the new size.
size_t drop_cr_before_lf(char* data, size_t size);

}  // namespace protoglean
