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
    static const size_t default_capacity = size_t(1) << 17;

    // A reader with a buffer of capacity bytes, at least twice the largest
    // line size asked for; start gives it a file.
    explicit SourceReader(size_t capacity = default_capacity);
    // Reads file from the start of the buffer.
    SourceReader(FILE* file, size_t capacity = default_capacity) : SourceReader(capacity) {
        start(file);
    }
    ~SourceReader();
    SourceReader(const SourceReader&) = delete;
    SourceReader& operator=(const SourceReader&) = delete;

    // Starts on file (opened in binary mode; not owned), dropping what is
    // left of the file before.
    void start(FILE* file);

    // The next line as fgets(buffer, size) would read it: at most size - 1
    // bytes, ending after the first LF. The bytes stay valid until the next
    // call. False at the end of the file.
    bool next_line(size_t size, const char** data, size_t* length) {
        if (end_ - pos_ < size && !at_eof_)
            fill();
        size_t available = end_ - pos_;
        if (available == 0)
            return false;
        size_t limit = pos_ + (available < size - 1 ? available : size - 1);
        const void* lf = memchr(buffer_ + pos_, '\n', limit - pos_);
        *data = buffer_ + pos_;
        *length = lf ? static_cast<size_t>(static_cast<const char*>(lf) - *data) + 1 : limit - pos_;
        line_start_ = pos_;
        pos_ += *length;
        return true;
    }

    // The next bytes of a line that next_line cut short, as far as the
    // buffer holds them, up to and including the LF that ends the line;
    // false at the end of the file. Called until a piece ends with an LF, it
    // streams a line of any length through the buffer.
    bool next_piece(const char** data, size_t* length) {
        if (pos_ == end_)
            fill();
        size_t available = end_ - pos_;
        if (available == 0)
            return false;
        const void* lf = memchr(buffer_ + pos_, '\n', available);
        *data = buffer_ + pos_;
        *length = lf ? static_cast<size_t>(static_cast<const char*>(lf) - *data) + 1 : available;
        line_start_ = pos_;
        pos_ += *length;
        return true;
    }

    // The bytes that the buffer holds from the read position on, without
    // reading more; length is 0 when the buffer is used up. A scan that
    // passes over some of them moves the read position on with skip.
    const char* ahead(size_t* length) const {
        *length = end_ - pos_;
        return buffer_ + pos_;
    }
    void skip(size_t count) { pos_ += count; }

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

    // Takes the bytes from the read position on that run(data, length)
    // counts as one run, as far as the buffer holds them (it is refilled
    // first when empty), and copies the first room of them to text; returns
    // the number copied. The caller reads on with get, which may bring more
    // of them.
    size_t take_run(size_t (*run)(const char*, size_t), char* text, size_t room) {
        if (pos_ == end_)
            fill();
        size_t length = run(buffer_ + pos_, end_ - pos_);
        size_t copied = length < room ? length : room;
        memcpy(text, buffer_ + pos_, copied);
        pos_ += length;
        return copied;
    }

  private:
    // Keeps the unread bytes and reads as many more as fit behind them.
    void fill();

    FILE* file_ = nullptr;
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
