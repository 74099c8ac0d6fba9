// A new file written in full beside a target, then put in the target's
// place in one step, or abandoned. The target's name holds a complete file,
// the previous one or the new one, at every moment, whatever fails and
// wherever the process is killed.
//
// Calling sequence:
//
//   ReplacementFile file(ReplacementFile::Abandon::remove);
//   FILE* out = file.create(directory);  // exclusive, private, no link
//   ... write the new text to out ...
//   file.set_original(stamp);            // optional: the target as it was read
//   Replacement r = file.commit(target, backup, ReplacementFile::IfSame::replace);
//
// create makes the file under the first free temporary name of directory,
// never through a link and never an existing name, readable and writable by
// this user alone until commit; every later step works through the stream,
// and the name is only ever used to check that it still names that file.
//
// commit, step by step; each failure leaves the target and an old backup as
// they were and deletes the files the replacement made (each only while its
// name still names it), unless it says otherwise:
//   1. The new file is flushed and synced (with Durability::kill only
//      flushed: a build's header need not survive a power cut, and a build
//      should not wait for the disk).                             not_written
//   2. When it lies on another file system than the target, it is copied
//      beside the target into a fresh temporary file, synced; the first
//      one is deleted.                                            not_written
//   3. With an original set: the lock on the target is taken (held until
//      the replacement ends or the process dies), waiting at most
//      platform::wait_milliseconds for another program to give it up;
//                                                                 in_use
//      and the target must be the file that was read, in the state it was
//      read in.                                                   changed
//   4. A target holding the new text is not touched: with IfSame::known
//      the caller knows it does, with IfSame::compare the bytes are
//      compared. The new file is deleted.                         same_text
//   5. The new file takes the target's permissions, owner, group, access
//      control list and user attributes (a new target: those of a new
//      file).                                                     not_moved
//   6. With a backup name: the target's content gets a fresh temporary
//      name beside it while the target's name still holds it, a hard link
//      or, where there can be none, a synced copy; first the run waits
//      until no other program holds the target open in a way that would
//      stop the rename.                                           not_moved
//   7. With an original set, the new file is locked too: a run that reads
//      it once it holds the target's name waits until this one has put the
//      previous content under the backup name, so that the backup is the
//      file that the later replacement replaced.                  in_use
//   8. The new file's name must still name it; it then takes the target's
//      name in one rename.                                        not_moved
//   9. The previous content's temporary name must still name it; it then
//      takes the backup name in one more rename, replacing an old backup.
//      When this fails the edit is in place and the previous content stays
//      under its temporary name;                         backup_not_moved
//      when another program's file took that name, the old backup stays
//      and the previous content is not kept.                previous_lost
//  10. The directory is synced (not with Durability::kill).
//
// A ReplacementFile that is destroyed, or that the program exits with,
// without a commit is abandoned: its file is deleted, or with Abandon::keep
// left for the user to look at; remove() deletes it now in either case. A
// file is only deleted while its name still names the file this run made.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "platform.h"

// Called before each step of a commit that changes the file system, with
// the step's name; tests end the process there as a power cut would.
extern void (*replacement_step_hook)(const char* step);

// How a replacement ended, with the names its message needs.
struct Replacement {
    enum How {
        done,              // the new file holds the target's name
        same_text,         // the target already held the new text; untouched
        not_written,       // "from" could not be written, synced or copied
        changed,           // the target is no longer the file that was read
        in_use,            // another program held the target's lock; nothing changed
        not_moved,         // moving "from" to "to" failed; nothing changed
        backup_not_moved,  // the edit is in place; the previous content is under "from"
        previous_lost,     // the edit is in place; another program took the previous content's name
    } how;
    std::string from, to;
};

class ReplacementFile {
  public:
    enum class Abandon { keep, remove };
    // What the replacement survives: a power cut (every file and directory
    // is synced to the disk) or the end of the process at any moment (the
    // system's cache holds what was written).
    enum class Durability { power_cut, kill };
    // Whether a target that holds the new text is left as it is.
    enum class IfSame {
        replace,  // no: it is replaced like any other
        compare,  // yes, when its bytes are the new file's
        known,    // yes: the caller knows the new text is the original's
    };

    explicit ReplacementFile(Abandon abandon, Durability durability = Durability::power_cut)
        : abandon_(abandon), durability_(durability) {}
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Creates the file in directory (empty for the current one, otherwise
    // ending in a separator) and returns it open for writing, as a text
    // stream when asked (Windows writes CR LF then); null when it cannot be
    // made, with name() the name that failed.
    FILE* create(const std::string& directory, bool text = false);

    // The target as the run read it: commit replaces only that file, in
    // that state, and holds the lock on it while it does.
    void set_original(const platform::FileStamp& stamp);

    // Puts the new file in target's place (see above); backup empty for
    // none. target is a file's own name, not a symbolic link to it.
    Replacement commit(const std::string& target, const std::string& backup, IfSame if_same);

    // True when the last commit found no lock to be had on the target (a
    // file system without locks) and relied on its check alone.
    bool checked_without_lock() const { return unlocked_; }

    // Deletes the file now, whatever the abandon rule says.
    void remove();

    // Leaves the file as the abandon rule says.
    void abandon();

    const std::string& name() const { return name_; }
    FILE* stream() const { return file_; }

  private:
    bool copy_beside(const std::string& target, std::string& failed);
    bool keep_previous(const std::string& target, FILE* current,
                       const platform::FileStamp& checked);
    Replacement previous_content_stays(const std::string& backup);
    void release_locks();
    Replacement fail(Replacement::How how, const std::string& from, const std::string& to = "");
    bool sync(FILE* f) const;
    bool sync_directory_of(const std::string& path) const;

    Abandon abandon_;
    Durability durability_;
    FILE* file_ = nullptr;
    std::string name_;
    bool has_original_ = false;
    platform::FileStamp original_;
    platform::FileLock lock_;      // the target's
    platform::FileLock new_lock_;  // the new file's, once it is the target
    bool unlocked_ = false;
    // The previous content under its temporary name, while a commit runs.
    std::string previous_;
    platform::FileStamp previous_stamp_;
};

// file.create(directory), or "couldn't open NAME for w." and exit status 3,
// with the name shown, or else the name it tried.
FILE* checked_create(ReplacementFile& file, const std::string& directory,
                     const char* shown = nullptr, bool text = false);
