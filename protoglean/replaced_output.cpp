#include "replaced_output.h"

#include <algorithm>
#include <cstring>

#include "files.h"

namespace protoglean {

namespace {

const size_t chunk_size = size_t(1) << 16;

// True when the file's content cannot have changed between the two stamps:
// a write moves its modification time on. (Its change time moves on also
// when another file is renamed over it, which leaves the content as it
// was.)
bool same_content(const platform::FileStamp& a, const platform::FileStamp& b) {
    return platform::same_file(a, b) && a.size == b.size && a.modified == b.modified;
}

}  // namespace

ReplacedOutput::ReplacedOutput(const std::string& target, const char* shown)
    : target_(target),
      shown_(shown),
      target_file_(output_file_at(target.c_str())),
      new_file_(ReplacementFile::Abandon::remove, ReplacementFile::Durability::kill),
      line_end_(platform::text_line_end()),
      line_end_length_(strlen(line_end_)),
      compared_(new char[chunk_size]) {
    if (line_end_length_ > 1)
        line_ends_.reset(new char[chunk_size]);
    output_ = platform::open_regular(target.c_str());
    if (output_ && platform::stamp_of(output_, output_stamp_)) {
        // Read in the pieces compared, not through a buffer of the stream.
        setvbuf(output_, nullptr, _IONBF, 0);
        return;
    }
    close_output();
    make_new_file();
}

ReplacedOutput::~ReplacedOutput() {
    close_output();
}

void ReplacedOutput::close_output() {
    if (output_)
        fclose(output_);
    output_ = nullptr;
}

bool ReplacedOutput::take(const char* data, size_t length) {
    if (line_end_length_ == 1)
        return put(data, length);
    // Each LF becomes the line end, in slices whose result fits the buffer.
    const size_t slice = chunk_size / line_end_length_;
    while (length > 0) {
        size_t n = std::min(length, slice);
        char* out = line_ends_.get();
        for (size_t i = 0; i < n; ++i) {
            if (data[i] == '\n') {
                memcpy(out, line_end_, line_end_length_);
                out += line_end_length_;
            } else {
                *out++ = data[i];
            }
        }
        if (!put(line_ends_.get(), static_cast<size_t>(out - line_ends_.get())))
            return false;
        data += n;
        length -= n;
    }
    return true;
}

bool ReplacedOutput::put(const char* data, size_t length) {
    if (!new_file_.stream()) {
        if (output_holds(data, length)) {
            same_ += length;
            return true;
        }
        if (!make_new_file())
            return false;
    }
    return fwrite(data, 1, length, new_file_.stream()) == length;
}

bool ReplacedOutput::output_holds(const char* data, size_t length) {
    while (length > 0) {
        size_t n = std::min(length, chunk_size);
        if (fread(compared_.get(), 1, n, output_) != n || memcmp(compared_.get(), data, n) != 0)
            return false;
        data += n;
        length -= n;
    }
    return true;
}

bool ReplacedOutput::make_new_file() {
    FILE* file = checked_create(new_file_, directory_part(target_), shown_.c_str());
    // The text comes in large pieces already.
    setvbuf(file, nullptr, _IONBF, 0);
    if (!output_)
        return true;
    // The bytes the texts share are the output's, read once more: it must
    // not have changed since the run opened it.
    bool copied = fseek(output_, 0, SEEK_SET) == 0;
    for (uint64_t left = same_; copied && left > 0;) {
        size_t n = static_cast<size_t>(std::min<uint64_t>(left, chunk_size));
        copied =
            fread(compared_.get(), 1, n, output_) == n && fwrite(compared_.get(), 1, n, file) == n;
        left -= n;
    }
    platform::FileStamp now;
    copied = copied && platform::stamp_of(output_, now) && same_content(now, output_stamp_);
    // An open file cannot be replaced on Windows.
    close_output();
    return copied;
}

OutputFile ReplacedOutput::files() const {
    return new_file_.stream() ? both(target_file_, output_file_of(new_file_.stream()))
                              : target_file_;
}

bool ReplacedOutput::finish(bool written) {
    if (written && !new_file_.stream()) {
        // The text ends here: the output keeps it when it ends here too, is
        // still the file under the output's name, and did not change.
        char more;
        platform::FileStamp now;
        bool same = fread(&more, 1, 1, output_) == 0 && !ferror(output_) &&
                    platform::stamp_of(output_, now) && same_content(now, output_stamp_) &&
                    platform::names_file(target_.c_str(), output_stamp_);
        if (same) {
            close_output();
            return true;
        }
        written = make_new_file();
    }
    close_output();
    if (!written) {
        new_file_.remove();
        return false;
    }
    return new_file_.commit(target_, "", ReplacementFile::IfSame::replace).how == Replacement::done;
}

}  // namespace protoglean
