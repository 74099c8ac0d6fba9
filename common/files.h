// Opening files, temporary and backup names, date stamps.
#pragma once

#include <cstddef>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform.h"

// Opens path with mode; on failure writes "couldn't open PATH for MODE." on
// standard error and ends the program with status 3. With binary set the
// file is opened untranslated (the message still shows mode as given).
FILE* checked_fopen(FILE** handle, const char* path, const char* mode, bool binary = false);

// Writes "couldn't open PATH for MODE." on standard error and ends the
// program with status 3.
[[noreturn]] void cannot_open(const char* path, const char* mode);

// checked_fopen(handle, path, "r") for a file that must be a regular file,
// opened untranslated: a directory, FIFO, device or socket fails like a
// missing file, at once and without blocking.
FILE* checked_open_regular(FILE** handle, const char* path);

// A stream that only reads, closed when it goes: nothing can be lost there.
struct CloseReader {
    void operator()(FILE* f) const { fclose(f); }
};
using Reader = std::unique_ptr<FILE, CloseReader>;

// Copies everything from holds, from its start, to the end of to; false
// on a read or write error.
bool copy_stream(FILE* from, FILE* to);

// A zero-filled block, or "ran out of memory." and exit status 7.
void* checked_alloc(size_t size);

// Makes C++ allocations fail the way checked_alloc does.
void install_out_of_memory_handler();

// True when a file or directory of that name exists.
bool file_exists(const char* path);

// Creates or empties the file (through checked_fopen).
void touch_file(const char* path);

// The current temporary-name template, "AAAAAAA~.Q~V" at start.
const char* temp_template();

// Sets the template back to its first name, or to the given one (for tests).
void reset_temp_template(const char* name = nullptr);

// Advances the seven counter letters of the template like an odometer;
// -1 when they all wrapped round to "A".
int bump_temp_name();

// Creates, exclusively, an empty file in the current directory under the
// first free template name (with the given extension, when not null) and
// returns a copy of its name, kept until the program ends (not to be freed).
char* make_temp_file(const char* extension);

// Calls create with directory + template name, moving the counter on while
// it answers taken; returns its last answer, with the name it was given in
// name. directory is empty or ends in a separator. Exhausted names end the
// program as make_temp_file does.
platform::Created claim_temp_name(const std::string& directory,
                                  const std::function<platform::Created(const char*)>& create,
                                  std::string& name);

// make_temp_file(".Q~V"): the file that receives the edited organ text.
char* new_temp_file();

struct PathParts {
    std::string drive, directory, base, extension;
};

// Splits a path into drive, directory (with its last separator), base name
// and extension (from the last dot of the last component on).
PathParts split_path(const std::string& path);

// The drive and directory part of a path, with its last separator; empty
// for a name without one.
std::string directory_part(const std::string& path);

// The path with its extension replaced by ".b~k".
std::string backup_path(const std::string& path);

// backup_path after deleting any file of that name, as a copy kept until the
// program ends (not to be freed).
char* backup_name(const char* path);

// "Sunday 12/20/15 9:05 pm" for the given local time.
std::string format_date_stamp(const std::tm& time);

// True when text is a date stamp as format_date_stamp writes it.
bool is_date_stamp(std::string_view text);

// The current local date and time in a static buffer.
const char* date_stamp();
