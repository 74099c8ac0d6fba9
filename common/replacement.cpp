#include "replacement.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "files.h"

void (*replacement_step_hook)(const char* step) = nullptr;

namespace {

// The files not yet committed, so that a program that ends through exit()
// (a file that cannot be opened, exhausted memory) abandons them too.
std::vector<ReplacementFile*>& live_files() {
    static std::vector<ReplacementFile*> files;
    return files;
}

void abandon_live_files() {
    for (ReplacementFile* file : live_files())
        file->abandon();
}

void forget(ReplacementFile* file) {
    std::vector<ReplacementFile*>& files = live_files();
    files.erase(std::remove(files.begin(), files.end(), file), files.end());
}

// Stops at a step when a test asks to, as a power cut would.
void step(const char* name) {
    if (replacement_step_hook)
        replacement_step_hook(name);
}

const size_t chunk_size = size_t(1) << 16;

// True when both files hold the same bytes.
bool same_bytes(FILE* a, FILE* b) {
    static char chunk_a[chunk_size], chunk_b[chunk_size];
    if (fseek(a, 0, SEEK_SET) != 0 || fseek(b, 0, SEEK_SET) != 0)
        return false;
    for (;;) {
        size_t n = fread(chunk_a, 1, sizeof chunk_a, a);
        size_t m = fread(chunk_b, 1, sizeof chunk_b, b);
        if (n != m || memcmp(chunk_a, chunk_b, n) != 0)
            return false;
        if (n == 0)
            return !ferror(a) && !ferror(b);
    }
}

// Creates a private file under the first free temporary name of directory.
FILE* create_in(const std::string& directory, std::string& name, bool text = false) {
    FILE* file = nullptr;
    platform::Created made = claim_temp_name(
        directory,
        [&file, text](const char* candidate) {
            platform::Created result;
            file = platform::create_private_file(candidate, result, text);
            return result;
        },
        name);
    return made == platform::Created::ok ? file : nullptr;
}

}  // namespace

FILE* checked_create(ReplacementFile& file, const std::string& directory, const char* shown,
                     bool text) {
    FILE* f = file.create(directory, text);
    if (!f)
        cannot_open(shown ? shown : file.name().c_str(), "w");
    return f;
}

ReplacementFile::~ReplacementFile() {
    abandon();
}

FILE* ReplacementFile::create(const std::string& directory, bool text) {
    file_ = create_in(directory, name_, text);
    if (file_) {
        if (live_files().empty())
            atexit(abandon_live_files);
        live_files().push_back(this);
    }
    return file_;
}

void ReplacementFile::set_original(const platform::FileStamp& stamp) {
    has_original_ = true;
    original_ = stamp;
}

void ReplacementFile::remove() {
    if (file_)
        platform::delete_and_close(file_, name_.c_str());
    file_ = nullptr;
    forget(this);
}

void ReplacementFile::abandon() {
    if (abandon_ == Abandon::remove)
        remove();
    if (file_)
        fclose(file_);
    file_ = nullptr;
    forget(this);
}

bool ReplacementFile::sync(FILE* f) const {
    return durability_ == Durability::power_cut ? platform::sync_file(f)
                                                : fflush(f) == 0 && !ferror(f);
}

bool ReplacementFile::sync_directory_of(const std::string& path) const {
    return durability_ == Durability::kill || platform::sync_directory_of(path.c_str());
}

void ReplacementFile::release_locks() {
    new_lock_.release();
    lock_.release();
}

Replacement ReplacementFile::fail(Replacement::How how, const std::string& from,
                                  const std::string& to) {
    // Another program may have put a file of its own under the name.
    if (!previous_.empty() && platform::names_file(previous_.c_str(), previous_stamp_))
        platform::delete_file(previous_.c_str());
    previous_.clear();
    release_locks();
    remove();
    return Replacement{how, from, to};
}

bool ReplacementFile::copy_beside(const std::string& target, std::string& failed) {
    std::string beside;
    step("copy");
    FILE* copy = create_in(directory_part(target), beside);
    failed = beside;
    if (!copy)
        return false;
    if (!copy_stream(file_, copy) || !sync(copy)) {
        platform::delete_and_close(copy, beside.c_str());
        return false;
    }
    platform::delete_and_close(file_, name_.c_str());
    file_ = copy;
    name_ = beside;
    return true;
}

bool ReplacementFile::keep_previous(const std::string& target, FILE* current,
                                    const platform::FileStamp& checked) {
    const std::string directory = directory_part(target);
    bool no_links = false;
    step("link");
    platform::Created made = claim_temp_name(
        directory,
        [&](const char* name) { return platform::hard_link(target.c_str(), name, no_links); },
        previous_);
    if (made == platform::Created::ok) {
        // The link was made by name: it must be the file that was checked.
        previous_stamp_ = checked;
        if (platform::names_file(previous_.c_str(), checked))
            return true;
        platform::delete_file(previous_.c_str());
    } else if (no_links) {
        FILE* copy = create_in(directory, previous_);
        if (copy && copy_stream(current, copy) && platform::copy_permissions(current, copy) &&
            sync(copy) && platform::stamp_of(copy, previous_stamp_)) {
            fclose(copy);
            return true;
        }
        if (copy)
            platform::delete_and_close(copy, previous_.c_str());
    }
    previous_.clear();
    return false;
}

Replacement ReplacementFile::commit(const std::string& target, const std::string& backup,
                                    IfSame if_same) {
    step("sync");
    if (!sync(file_))
        return fail(Replacement::not_written, name_);
    // What is written is read back as it lies on the disk.
    platform::binary_mode(file_);

    // A new file on another file system than the target is copied beside
    // it first: a rename cannot cross file systems.
    platform::FileStamp mine, checked;
    if (!platform::stamp_of(file_, mine))
        return fail(Replacement::not_written, name_);
    if ((has_original_ || platform::stamp_of(target.c_str(), checked)) &&
        mine.device != (has_original_ ? original_.device : checked.device)) {
        std::string failed;
        if (!copy_beside(target, failed) || !platform::stamp_of(file_, mine))
            return fail(Replacement::not_written, failed);
    }

    // The lock comes first: waiting for it holds nothing open that could
    // stop another run's rename. Without locks on this file system the
    // check alone must do.
    unlocked_ = false;
    if (has_original_) {
        platform::Locked locked = lock_.acquire(target.c_str(), original_);
        if (locked == platform::Locked::busy)
            return fail(Replacement::in_use, target);
        unlocked_ = locked == platform::Locked::unsupported;
    }
    Reader current(platform::open_regular(target.c_str()));
    if (has_original_ && (!current || !platform::stamp_of(current.get(), checked) ||
                          !platform::same_state(checked, original_) ||
                          !platform::names_file(target.c_str(), checked)))
        return fail(Replacement::changed, target);
    if (current && !has_original_ && !platform::stamp_of(current.get(), checked))
        return fail(Replacement::not_moved, name_, target);
    if (if_same == IfSame::known ||
        (if_same == IfSame::compare && current && same_bytes(file_, current.get()))) {
        release_locks();
        remove();
        return Replacement{Replacement::same_text, "", ""};
    }

    // Only a file gives way to the backup: a directory there would fail
    // the last rename, after the edit is in place.
    platform::FileStamp old_backup;
    if (!backup.empty() && platform::stamp_of(backup.c_str(), old_backup) && !old_backup.regular)
        return fail(Replacement::not_moved, target, backup);

    platform::Attributes attributes;
    if (current) {
        attributes = platform::attributes_of(current.get());
        if (!platform::copy_permissions(current.get(), file_))
            return fail(Replacement::not_moved, name_, target);
        // A second name made for a rename that cannot happen could not be
        // taken back while the target is held open.
        if (!backup.empty() && !platform::wait_until_replaceable(target.c_str()))
            return fail(Replacement::not_moved, name_, target);
        if (!backup.empty() && !keep_previous(target, current.get(), checked))
            return fail(Replacement::not_moved, target, backup);
    } else {
        platform::default_permissions(file_);
    }
    // An open file cannot be replaced on Windows.
    current.reset();
    if (has_original_ && new_lock_.acquire(file_, mine) == platform::Locked::busy)
        return fail(Replacement::in_use, target);

    const std::string from = name_;
    platform::clear_read_only(target.c_str());
    step("rename");
    if (!platform::names_file(from.c_str(), mine) ||
        !platform::rename_replacing(file_, from.c_str(), target.c_str())) {
        platform::set_attributes(target.c_str(), attributes);
        return fail(Replacement::not_moved, from, target);
    }
    // From here the file is the target's: never deleted as abandoned.
    fclose(file_);
    file_ = nullptr;
    name_ = target;
    forget(this);
    platform::set_attributes(target.c_str(), attributes);
    const std::string directory = directory_part(target);
    step("sync directory");
    if (!platform::names_file(target.c_str(), mine) || !sync_directory_of(target) ||
        (directory_part(from) != directory && !sync_directory_of(from))) {
        // Another program's file took the name in the rename, or the new
        // names may not survive: the previous content comes back.
        if (!previous_.empty() && (!platform::names_file(previous_.c_str(), previous_stamp_) ||
                                   !platform::rename_file(previous_.c_str(), target.c_str())))
            return previous_content_stays(backup);
        previous_.clear();
        return fail(Replacement::not_moved, from, target);
    }

    if (!previous_.empty()) {
        step("rename backup");
        // Another program may have renamed a file of its own onto the
        // temporary name: that file must not become the backup.
        if (!platform::names_file(previous_.c_str(), previous_stamp_))
            return previous_content_stays(backup);
        platform::clear_read_only(backup.c_str());
        if (!platform::rename_file(previous_.c_str(), backup.c_str())) {
            platform::set_attributes(previous_.c_str(), attributes);
            return previous_content_stays(backup);
        }
        if (!platform::names_file(backup.c_str(), previous_stamp_)) {
            previous_.clear();
            return previous_content_stays(backup);
        }
        platform::set_attributes(backup.c_str(), attributes);
        // Should this name not survive a power cut, the previous content
        // is found under its temporary name and the old backup under its
        // own: nothing is lost, so a failure here fails nothing.
        step("sync directory");
        sync_directory_of(backup);
        previous_.clear();
    }
    release_locks();
    return Replacement{Replacement::done, "", ""};
}

Replacement ReplacementFile::previous_content_stays(const std::string& backup) {
    // The message may name only a file that holds the previous content.
    bool kept = !previous_.empty() && platform::names_file(previous_.c_str(), previous_stamp_);
    Replacement result{kept ? Replacement::backup_not_moved : Replacement::previous_lost,
                       kept ? previous_ : "", backup};
    previous_.clear();
    release_locks();
    return result;
}
