// The text that is to replace an output file, compared with what the file
// holds as it comes. The new file beside the output is made only where the
// two first differ, and takes the bytes they share from the output file: an
// output that keeps its text costs no write at all and is never touched.
//
// The new file is a ReplacementFile (exclusive, private, never opened
// again by name) that takes the output's name, permissions and owner in one
// rename at the end; until then, and after any failure, the output is as it
// was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "input_names.h"
#include "platform.h"
#include "replacement.h"

namespace protoglean {

class ReplacedOutput {
  public:
    // Opens target (the output's own name, not a link to it) to compare
    // with. Without one to read, the new file is made at once, so that a
    // directory where none can be made ends the run before an input is
    // read: "couldn't open SHOWN for w.", status 3, as it does later when
    // the texts first differ.
    ReplacedOutput(const std::string& target, const char* shown);
    ~ReplacedOutput();
    ReplacedOutput(const ReplacedOutput&) = delete;
    ReplacedOutput& operator=(const ReplacedOutput&) = delete;

    // Takes the next bytes of the new text, whose line feeds go to the file
    // as a text stream writes them. False when they cannot be written.
    bool take(const char* data, size_t length);

    // The output file as it was when the run began and, once made, the new
    // file.
    OutputFile files() const;

    // Ends the text, complete when written is set. The output stays
    // untouched when it holds the text byte for byte and is still the file
    // that was compared, as it was; otherwise the new file takes its place.
    // True when the output holds the text; else the new file is deleted and
    // the output is as it was.
    bool finish(bool written);

  private:
    bool put(const char* data, size_t length);
    bool output_holds(const char* data, size_t length);
    bool make_new_file();
    void close_output();

    std::string target_, shown_;
    OutputFile target_file_;
    FILE* output_ = nullptr;  // the output file, read to compare with
    platform::FileStamp output_stamp_;
    uint64_t same_ = 0;  // bytes the output holds as the text has them
    ReplacementFile new_file_;
    const char* line_end_;
    size_t line_end_length_;
    std::unique_ptr<char[]> compared_, line_ends_;
};

}  // namespace protoglean
