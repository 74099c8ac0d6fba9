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

// The number of processes attached to this process's console (Windows);
// 0 on POSIX and without a console.
unsigned console_process_count();

// True when standard input reads the console itself, not a file, a pipe or
// a device such as NUL.
bool stdin_reads_console();

// Makes path the current directory; false when it cannot be.
bool change_directory(const char* path);

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

// Deletes a file; never a directory. False when nothing was deleted.
bool delete_file(const char* path);

// Opens a regular file for binary reading (a symbolic link counts as what
// it points to). A directory, FIFO, device or socket fails like a missing
// file, at once: nothing blocks and nothing is read from a device.
FILE* open_regular(const char* path);

// The file that a chain of symbolic links starting at path ends at (a
// relative link counts from its own directory; Windows: the final path of
// the opened file); path itself when it is no link or the chain cannot be
// followed.
std::string final_target(const std::string& path);

// Ignores the signal that a file-size limit sends (POSIX SIGXFSZ), so that
// the limit shows as a write error like a full disk.
void write_errors_instead_of_signals();

// The bytes that a line feed written to a text stream becomes in the file:
// "\r\n" on Windows, "\n" on POSIX.
const char* text_line_end();

// What identifies a file, and what tells whether its content may have
// changed since it was looked at.
struct FileStamp {
    uint64_t device = 0, index = 0;  // POSIX st_dev and st_ino; Windows volume and file index
    uint64_t size = 0;
    int64_t modified = 0;  // last write: POSIX nanoseconds, Windows 100-nanosecond ticks
    int64_t changed = 0;   // last change of content or metadata, in the same unit
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

// True when both stamps tell one file in one state: a change of its content
// or metadata moves its change time on, also when the modification time is
// set back.
inline bool same_state(const FileStamp& a, const FileStamp& b) {
    return same_file(a, b) && a.size == b.size && a.modified == b.modified &&
           a.changed == b.changed;
}

// --- Steps of a replacement; common/replacement.h puts them in order. ---

// Creates a new file under path and opens it for binary reading and
// writing: never an existing name, never through a link, readable and
// writable by this user alone (POSIX O_CREAT | O_EXCL | O_NOFOLLOW with
// mode 0600; Windows CREATE_NEW with a DACL for the user alone). Null with
// result taken or failed when it cannot be made. With text set, Windows
// writes a line feed as CR LF, as a text stream does.
FILE* create_private_file(const char* path, Created& result, bool text = false);

// Makes a stream read and write bytes untranslated from here on.
void binary_mode(FILE* f);

// Flushes the stream and syncs its file to the disk; false on an error.
bool sync_file(FILE* f);

// True when path names the file of that stamp itself: a regular file, no
// link to it and no other file (POSIX lstat; Windows without following a
// reparse point).
bool names_file(const char* path, const FileStamp& file);

// Closes f and deletes its file, only while path still names it (Windows:
// through the handle, whatever the file's name now is).
void delete_and_close(FILE* f, const char* path);

// Gives copy what decides who may reach original: permission bits, owner
// and group where the program may set them (a group that may not be set
// keeps no permissions), the access control list and user extended
// attributes (Windows: the security descriptor). False when original has
// one that copy cannot be given; where the file system keeps none there is
// nothing to copy.
bool copy_permissions(FILE* original, FILE* copy);

// Gives a new file the permissions a file made by fopen would have (0666
// less the umask; Windows: what it inherits from its directory).
void default_permissions(FILE* f);

// Attributes that the system keeps beside the permissions (Windows:
// read-only, hidden, system, archive; nothing on POSIX). A read-only file
// cannot be replaced by a rename: its attribute is cleared first.
struct Attributes {
    uint32_t bits = 0;
};
Attributes attributes_of(FILE* f);
bool set_attributes(const char* path, Attributes attributes);
bool clear_read_only(const char* path);

// Gives new_name a hard link to the file that existing names. taken when
// new_name exists; failed with no_links set when the file system has no
// hard links there or refuses them (protected hard links), so that a copy
// must do.
Created hard_link(const char* existing, const char* new_name, bool& no_links);

// Renames f's file, which from names, to to, replacing a file of that name
// (never a directory) in one step. POSIX renames from; Windows renames the
// open handle itself. False when it failed; nothing changed then.
bool rename_replacing(FILE* f, const char* from, const char* to);

// Renames a file to to, replacing a file of that name (never a directory).
bool rename_file(const char* from, const char* to);

// Syncs the directory that holds path, so that its new names survive a
// power cut (nothing to do on Windows: renames are written through).
bool sync_directory_of(const char* path);

// How long a run waits for a lock, or for a file that another program holds
// open, before it gives up: long enough for another run's swap, short
// enough that a lock held for ever by anyone who may read the file stops no
// run for ever.
const int wait_milliseconds = 2000;

// Waits, up to wait_milliseconds, until no other program holds the file
// that path names open in a way that stops its replacement (Windows: open
// without sharing its deletion); true once none does, and always on POSIX.
bool wait_until_replaceable(const char* path);

// What FileLock::acquire found.
enum class Locked {
    yes,          // the lock is this run's
    busy,         // another program held it for the whole wait
    unsupported,  // the system gives no lock on this file (POSIX ENOLCK, a
                  // mutex that cannot be made or opened): the caller goes
                  // on without one
};

// An exclusive lock on one file against other runs of the programs, held
// from acquire until release or until the process ends, when the system
// releases it: no lock file is ever left behind. POSIX flock on the file;
// Windows a named mutex of the file's volume and index, so that waiting for
// the lock holds no handle that would stop a rename over the file.
class FileLock {
  public:
    FileLock() = default;
    ~FileLock() { release(); }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    // Tries, for up to wait_milliseconds, to make the lock on the file of
    // that stamp, which path names, this run's. When path names another
    // file by now, the lock is on that one: the check that follows finds
    // the change.
    Locked acquire(const char* path, const FileStamp& file);
    // The same for a file this run holds open (its own new file), locked
    // through the stream without opening its name.
    Locked acquire(FILE* f, const FileStamp& file);
    void release();

  private:
    intptr_t handle_ = -1;
};

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
