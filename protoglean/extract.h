// Turns marked declarations of C sources into prototypes and extern
// declarations, and copies "_copy" ... "_uncopy" passages through.
#pragma once

#include <cstddef>
#include <cstdio>

#include "input_names.h"
#include "output.h"
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
// stop character. An array's first dimension becomes "[]"; later
// dimensions, attributes and a parameter's "[static N]" or "[const]" stay
// as written.
StopKind scan_declaration(SourceReader& reader, size_t& nesting, char* text, size_t size);

// Reads a bracket pair whose "[" was just read, up to its matching "]" (or
// a zero byte, or the end of the file), and appends it to the text of
// length bytes: as "[]" when it is an array's first dimension that begins
// with no "static" or type qualifier, else whole.
// pair_end is where the text ended after the pair before, if any. Returns
// the number of bytes appended.
size_t scan_brackets(SourceReader& reader, char* text, size_t size, size_t length, size_t pair_end);

// Processes one source to its end, writing to out. Lines that the line
// loop would pass over or copy as they are go by in bulk.
void extract_source(SourceReader& reader, Output& out, ExtractState& state);

// The same, with the line loop reading every piece: slow, and the measure
// that extract_source's output must match byte for byte.
void extract_source_by_piece(SourceReader& reader, Output& out, ExtractState& state);

// True when the file (opened in binary mode) holds a line that the
// extraction takes as a marker or as "_copy", unless it begins with the
// comment that the extraction writes before each input.
bool holds_marked_lines(FILE* file);

// Which of the two extract_argument runs.
enum class LineScan { bulk, by_piece };

// Processes every file that the input argument names, in order, each under
// a header line. The files that out writes to (out.files()) are never read:
// a wildcard's matches leave them out, and a file that cannot be opened, or
// that is one of them under the name given, ends the program (status 3).
// The reader's buffer size and the line scan change nothing in the output.
void extract_argument(char* input_name, Output& out,
                      size_t reader_capacity = SourceReader::default_capacity,
                      LineScan scan = LineScan::bulk);

}  // namespace protoglean
