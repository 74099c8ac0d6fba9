// Expands an input argument into the files it names, one at a time, and
// keeps the output file out of them.
#pragma once

#include <cstdio>
#include <vector>

#include "platform.h"

namespace protoglean {

// The file the run writes to, known by identity, so that no name of it (a
// link, "./a.c", "A.C" on Windows) is ever read as an input: read, it would
// be emptied before it is read, or grow on its own text.
struct OutputFile {
    // The run's output files: the output and the temporary file that takes
    // its name at the end. None when it is no regular file (a terminal, a
    // pipe) or none yet.
    bool known = false;
    std::vector<platform::FileStamp> stamps;
};

// The output file that path names, or the file an open stream writes to.
OutputFile output_file_at(const char* path);
OutputFile output_file_of(FILE* stream);

// Both files of a and b.
OutputFile both(OutputFile a, const OutputFile& b);

// True when path, or the open stream, is the output file.
bool is_output_file(const OutputFile& output, const char* path);
bool is_output_file(const OutputFile& output, FILE* stream);

// True when name holds a wildcard ("*" or "?"); a name without one names
// its input outright.
bool has_wildcards(const char* name);

// Writes "NAME is the output file." and ends the program with status 3.
[[noreturn]] void refuse_output_as_input(const char* name);

// The next input file for text. A non-empty text starts a new search for
// the plain files matching it ("*" and "?" wildcards), keeping its directory
// part as typed, and is emptied; an empty text continues the search in
// progress. A pattern's matches leave the output file out. When nothing
// matches, the pattern itself is returned once, so that opening it names
// the culprit. Null when no more files remain. The name stays valid until
// the next call.
const char* next_input_name(char* text, const OutputFile& output);

}  // namespace protoglean
