#include "source_reader.h"

#include <cstring>

namespace protoglean {

SourceReader::SourceReader(size_t capacity) : buffer_(new char[capacity]), capacity_(capacity) {}

void SourceReader::start(FILE* file) {
    file_ = file;
    // The buffer here replaces the stream's own.
    setvbuf(file_, nullptr, _IONBF, 0);
    pos_ = end_ = line_start_ = 0;
    at_eof_ = held_cr_ = false;
}

SourceReader::~SourceReader() {
    delete[] buffer_;
}

void SourceReader::fill() {
    size_t left = end_ - pos_;
    memmove(buffer_, buffer_ + pos_, left);
    pos_ = 0;
    end_ = left;
    if (at_eof_)
        return;
    size_t start = end_;
    if (held_cr_) {
        buffer_[end_++] = '\r';
        held_cr_ = false;
    }
    size_t wanted = capacity_ - end_;
    size_t got = fread(buffer_ + end_, 1, wanted, file_);
    end_ += got;
    // fread comes back short only at the end of the file or on a read
    // error; either ends the input.
    if (got < wanted)
        at_eof_ = true;
    if (!at_eof_ && buffer_[end_ - 1] == '\r') {
        held_cr_ = true;
        --end_;
    }
    end_ = start + drop_cr_before_lf(buffer_ + start, end_ - start);
}

size_t drop_cr_before_lf(char* data, size_t size) {
    char* end = data + size;
    char* cr = static_cast<char*>(memchr(data, '\r', size));
    if (!cr)
        return size;
    char* out = cr;
    char* in = cr;
    while (in < end) {
        // in points to a CR; copy it (unless an LF follows) and the bytes up
        // to the next CR.
        char* next =
            in + 1 < end ? static_cast<char*>(memchr(in + 1, '\r', end - in - 1)) : nullptr;
        char* stop = next ? next : end;
        if (in + 1 < end && in[1] == '\n')
            ++in;
        size_t count = static_cast<size_t>(stop - in);
        memmove(out, in, count);
        out += count;
        in = stop;
    }
    return static_cast<size_t>(out - data);
}

}  // namespace protoglean
