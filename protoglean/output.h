// Where the extractor's text goes, through a buffer of its own: a stream
// written as the run goes, or an output file that the text replaces at the
// end of the run.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "input_names.h"

namespace protoglean {

class ReplacedOutput;

class Output {
  public:
    static const size_t capacity = size_t(1) << 16;

    // Writes to stream (not owned) in pieces of up to capacity bytes; when
    // unbuffered, each write goes to the stream as it comes, so that a
    // terminal shows each line when it is written.
    explicit Output(FILE* stream, bool buffered = true);
    // Writes the text that is to replace the output file target (its own
    // name, not a link to it); shown is the name as the user gave it.
    Output(const std::string& target, const char* shown);
    ~Output();
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    void write(const char* data, size_t length) {
        if (length <= end_ - used_) {
            memcpy(buffer_.get() + used_, data, length);
            used_ += length;
        } else {
            write_through(data, length);
        }
    }
    void put(char c) { write(&c, 1); }

    // The files that the text goes to, as far as they exist now: the
    // stream's, or the output file and the new file beside it.
    OutputFile files() const;

    // Writes what is left, and puts a replacing text in the output file's
    // place unless the file holds it already. False when some text did not
    // reach the output; a replaced output file is then as it was.
    bool finish();

  private:
    void write_through(const char* data, size_t length);
    void drain(const char* data, size_t length);

    std::unique_ptr<char[]> buffer_;
    size_t end_, used_ = 0;  // the buffer's end: capacity, or 0 unbuffered
    FILE* stream_ = nullptr;
    std::unique_ptr<ReplacedOutput> replaced_;
    bool failed_ = false;
};

}  // namespace protoglean
