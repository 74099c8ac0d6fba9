// Turns marked declarations of C sources into prototypes and extern
// declarations, and copies "_copy" ... "_uncopy" passages through.
#pragma once

#include <cstddef>
#include <cstdio>

#include "source_reader.h"

namespace protoglean {

// Lines outside copy blocks are read in pieces of at most LINE_SIZE - 1
// characters; copied lines go out whole. A declaration keeps at most
// DECL_SIZE - 1 characters.
const size_t LINE_SIZE = 200;
const size_t DECL_SIZE = 1000;

// What ended a declaration: "{" makes a prototype; ";" or an "=" outside
// parentheses an extern declaration; none when the file or a zero byte
// came first.
enum class StopKind { none, prototype, external };

// State that lives through all files of one input argument: a copy block or
// an unbalanced "(" left open by one file carries over into the next.
struct ExtractState {
    bool copying = false;
    size_t nesting = 0;
};

// Collects one declaration from the reader's position into text (size
// bytes), dropping what does not fit, and reads one character past its
// stop character. Array dimensions become "[]".
StopKind scan_declaration(SourceReader& reader, size_t& nesting, char* text, size_t size);

// Processes one source to its end, writing to out. Lines that the line
// loop would pass over or copy as they are go by in bulk.
void extract_source(SourceReader& reader, FILE* out, ExtractState& state);

// The same, with the line loop reading every piece: slow, and the measure
// that extract_source's output must match byte for byte.
void extract_source_by_piece(SourceReader& reader, FILE* out, ExtractState& state);

// Which of the two extract_argument runs.
enum class LineScan { bulk, by_piece };

// Processes every file that the input argument names, in order, each under
// a header line. The file that out writes to is never read: a wildcard's
// matches leave it out, and a file that cannot be opened, or that is out's
// file under the name given, ends the program (status 3). The reader's
// buffer size and the line scan change nothing in the output.
void extract_argument(char* input_name, FILE* out,
                      size_t reader_capacity = SourceReader::default_capacity,
                      LineScan scan = LineScan::bulk);

}  // namespace protoglean
