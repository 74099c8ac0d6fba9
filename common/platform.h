// Every call into the operating system that differs between POSIX and
// Windows, or that renames, deletes, syncs or creates a file exclusively.
// platform_posix.cpp and platform_windows.cpp implement it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace platform {

// Puts the program's arguments into the form the rest of the program reads:
// on Windows taken from the UTF-16 command line and turned into UTF-8, so
// that names outside the ANSI code page arrive whole; on POSIX argv as the
// system gave it. The texts live until the program ends and may be changed
// in place.
void utf8_arguments(int& argc, char**& argv);

// True when a command-line argument that begins with "/" is a path rather
// than an option: on POSIX one longer than "/" that holds a second "/" or
// names an existing entry ("/home/me/organ.ini", "/tmp"); never on Windows,
// where "/" marks options.
bool is_path_argument(const char* arg);

// True when standard input (output) is a terminal / console.
bool stdin_is_terminal();
bool stdout_is_terminal();

// Reads one key press without waiting for Enter, echoing it when asked.
// Returns the key's byte, or -1 when standard input is no terminal (nothing
// is read then), at end of input, or on a read error.
int read_key(bool echo);

// Every call below that takes a name passes it to the system unchanged on
// POSIX. On Windows it goes through the wide (UTF-16) interface, read as
// UTF-8 when its bytes are UTF-8 and in the ANSI code page otherwise, and
// with the long-path prefix when it is too long for the plain form.

// fopen that never opens a directory: a directory fails like a missing file.
FILE* open_file(const char* path, const char* mode);

// True when the file system holds an entry of that name (file or directory).
bool path_exists(const char* path);

enum class Created { ok, taken, failed };
// Creates an empty file that must not exist yet (O_CREAT | O_EXCL).
Created create_exclusive(const char* path);

// Deletes a file; never a directory. False when nothing was deleted.
bool delete_file(const char* path);

// Flushes the stream, syncs it to the disk and closes it; false when any of
// the three failed. The stream is closed in every case.
bool commit_and_close(FILE* f);

// Opens a regular file for binary reading (a symbolic link counts as what
// it points to). A directory, FIFO, device or socket fails like a missing
// file, at once: nothing blocks and nothing is read from a device.
FILE* open_regular(const char* path);

// Gives copy the permission bits of original, and its owner and group where
// the program may set them; a group that may not be set keeps no
// permissions. Windows leaves this to swap_in, which keeps the replaced
// file's attributes and access rules.
void take_permissions(FILE* original, FILE* copy);

// The file that a chain of symbolic links starting at path ends at, named
// from the path as given (a relative link counts from its own directory);
// path itself when it is no link or the chain cannot be followed.
std::string final_target(const std::string& path);

// Copies a file's bytes, permissions and owner to a new file that must not
// exist yet, synced to the disk; nothing is left behind when it fails.
Created copy_to_new_file(const char* from, const char* to);

// Which step of swap_in failed.
enum class Swap { done, backup_failed, replace_failed };

// Puts replacement in target's place and leaves target's previous content
// under backup, a name that must be free. Target's name holds a complete
// file at every moment: POSIX gives backup a hard link to the target (a
// rename where the file system has none), renames replacement onto target
// in one step and syncs the directories; Windows replaces with ReplaceFileW.
// After a failure target holds its previous content.
Swap swap_in(const char* target, const char* replacement, const char* backup);

// What identifies a file, and what tells whether its content may have
// changed since it was looked at.
struct FileStamp {
    uint64_t device = 0, index = 0;  // POSIX st_dev and st_ino; Windows volume and file index
    uint64_t size = 0;
    int64_t modified = 0;  // last write: POSIX nanoseconds, Windows 100-nanosecond ticks
    bool regular = false;  // a regular file (not a directory, device, FIFO or socket)
};

// The stamp of the file a path names (a symbolic link counts as what it
// points to); false when there is none or it cannot be queried.
bool stamp_of(const char* path, FileStamp& stamp);

// The stamp of an open stream's file.
bool stamp_of(FILE* stream, FileStamp& stamp);

// True when the two stamps belong to one file, whatever its names.
inline bool same_file(const FileStamp& a, const FileStamp& b) {
    return a.device == b.device && a.index == b.index;
}

// True for a character that separates directories in a path.
bool is_separator(char c);

// Length of the drive part at the start of a path ("c:" on Windows; POSIX
// paths have none).
size_t drive_length(const char* path);

// True when the two names denote the same path as the file system compares
// names (byte for byte on POSIX, letter case ignored on Windows).
bool same_name(const char* a, const char* b);

// The plain files of one directory whose names match a pattern of "*" and
// "?" wildcards; names only, without the directory (Windows gives them in
// UTF-8). Hidden entries and directories are left out. POSIX returns them in
// byte order of their names.
std::vector<std::string> find_files(const std::string& directory, const std::string& pattern);

}  // namespace platform
