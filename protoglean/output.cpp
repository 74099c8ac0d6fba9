#include "output.h"

#include "replaced_output.h"

namespace protoglean {

Output::Output(FILE* stream, bool buffered)
    : buffer_(new char[capacity]), end_(buffered ? capacity : 0), stream_(stream) {}

Output::Output(const std::string& target, const char* shown)
    : buffer_(new char[capacity]),
      end_(capacity),
      replaced_(std::make_unique<ReplacedOutput>(target, shown)) {}

Output::~Output() = default;

void Output::write_through(const char* data, size_t length) {
    if (used_ > 0 && length < end_) {
        // The buffer is filled up first, so that the output goes in whole
        // pieces.
        size_t part = end_ - used_;
        memcpy(buffer_.get() + used_, data, part);
        drain(buffer_.get(), end_);
        used_ = length - part;
        memcpy(buffer_.get(), data + part, used_);
        return;
    }
    drain(buffer_.get(), used_);
    used_ = 0;
    drain(data, length);
}

void Output::drain(const char* data, size_t length) {
    if (length == 0 || failed_)
        return;
    if (replaced_)
        failed_ = !replaced_->take(data, length);
    else
        failed_ = fwrite(data, 1, length, stream_) != length;
}

OutputFile Output::files() const {
    return replaced_ ? replaced_->files() : output_file_of(stream_);
}

bool Output::finish() {
    drain(buffer_.get(), used_);
    used_ = 0;
    if (replaced_)
        return replaced_->finish(!failed_);
    return fflush(stream_) == 0 && !ferror(stream_) && !failed_;
}

}  // namespace protoglean
