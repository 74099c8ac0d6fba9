#include "run_edit.h"

#include <string>
#include <vector>

#include "catalogue.h"
#include "edit_text.h"
#include "exit_status.h"
#include "files.h"
#include "ini/run_configuration.h"
#include "line_source.h"
#include "messages.h"
#include "platform.h"
#include "run_state.h"

bool debug_mode = false;
int line_number = 0;

namespace {

// The temporary files this run made. A run that ends with ExitNotReplaced
// deletes them: a partial copy would keep a full disk full. Other ends leave
// them as the evidence to look at.
std::vector<std::string> temp_files;

int not_replaced() {
    for (const std::string& name : temp_files)
        platform::delete_file(name.c_str());
    return ExitNotReplaced;
}

int fail_move(const std::string& from, const std::string& to) {
    fprintf(stderr, "couldn't move %s to %s.\n", from.c_str(), to.c_str());
    return not_replaced();
}

int fail_write(const std::string& name) {
    fprintf(stderr, "couldn't write %s.\n", name.c_str());
    return not_replaced();
}

// True when the file under path is still the one that was read, unchanged.
bool unchanged_since(const std::string& path, const platform::FileStamp& read) {
    platform::FileStamp now;
    return platform::stamp_of(path.c_str(), now) && platform::same_file(now, read) &&
           now.size == read.size && now.modified == read.modified;
}

// Puts the edited text in the organ file's place, keeping the previous
// content under the backup name. The organ file is the file that xml_path
// finally names through symbolic links; the links stay as they are.
//
// Calling sequence, each step checked before the next; the organ file's
// name holds a complete file, the previous or the new one, at every moment:
//   1. The backup name must differ from the organ file's name (a file whose
//      own extension is .b~k would be its own backup).
//   2. The temporary file is flushed, synced to the disk and closed.
//   3. When the temporary file lies on another file system than the organ
//      file, it is copied beside the organ file under a fresh temporary
//      name, synced and closed; the copy goes on from here and the first
//      temporary file is deleted.
//   4. The organ file must still be the file that was read, unchanged:
//      otherwise another program changed it during the run.
//   5. An old file of the backup name is deleted (never a directory).
//   6. platform::swap_in: the backup name gets the previous content while
//      the organ name still holds it, the new file takes the organ name in
//      one step, and the directories are synced.
// A failure writes its message ("couldn't move FROM to TO.", "couldn't write
// TEMP." or "ORGAN changed during the edit."), leaves the organ file as it
// was, deletes the temporary files and returns ExitNotReplaced.
int replace_organ_file(const std::string& xml_path, const platform::FileStamp& read, FILE* output) {
    const std::string organ = platform::final_target(xml_path);
    const std::string backup = backup_path(organ);
    if (platform::same_name(backup.c_str(), organ.c_str()))
        return fail_move(organ, organ);

    std::string replacement = temp_files.back();
    if (!platform::commit_and_close(output))
        return fail_write(replacement);

    platform::FileStamp temp;
    if (!platform::stamp_of(replacement.c_str(), temp))
        return fail_write(replacement);
    if (temp.device != read.device) {
        PathParts parts = split_path(organ);
        std::string beside;
        temp_files.push_back(std::string());
        platform::Created copied = claim_temp_name(
            parts.drive + parts.directory,
            [&](const char* name) {
                temp_files.back() = name;
                return platform::copy_to_new_file(replacement.c_str(), name);
            },
            beside);
        if (copied != platform::Created::ok)
            return fail_write(beside);
        platform::delete_file(replacement.c_str());
        replacement = beside;
    }

    if (!unchanged_since(organ, read)) {
        fprintf(stderr, "%s changed during the edit.\n", xml_path.c_str());
        return not_replaced();
    }
    platform::delete_file(backup.c_str());
    switch (platform::swap_in(organ.c_str(), replacement.c_str(), backup.c_str())) {
        case platform::Swap::backup_failed:
            return fail_move(organ, backup);
        case platform::Swap::replace_failed:
            return fail_move(replacement, organ);
        case platform::Swap::done:
            break;
    }
    return ExitReplaced;
}

}  // namespace

int run_edit() {
    loadRunConfiguration();
    const RunConfiguration& rc = runConfiguration;
    if (!find_model(rc.modelName.c_str()))
        complain(true, "pravtweak %d:pipravox \"%s\" unknown!", line_number, rc.modelName.c_str());
    clear_read_flags();
    temp_files.push_back(new_temp_file());
    FILE* input_file;
    FILE* output;
    checked_open_regular(&input_file, rc.xmlPath.c_str());
    platform::FileStamp read;
    platform::stamp_of(input_file, read);
    checked_fopen(&output, temp_files.back().c_str(), "w", true);
    // The edited text is as private as the organ file from its first byte.
    platform::take_permissions(input_file, output);
    static char output_buffer[1 << 16];
    setvbuf(output, output_buffer, _IOFBF, sizeof output_buffer);

    LineSource input(input_file);
    if (int status = edit_organ_text(input, output, line_number))
        return status;
    if (input.failed()) {
        fprintf(stderr, "couldn't read %s.\n", rc.xmlPath.c_str());
        fclose(output);  // Windows deletes no open file
        return not_replaced();
    }
    // Everything is read: other programs may use the organ file while the
    // run waits for an answer (on Windows an open file cannot be replaced).
    fclose(input_file);

    if (debug_mode) {
        complain(false, "pravtweak %d, -d debug (%d errors) (press a key)", line_number,
                 error_count);
        ask_yes();
        return ExitDebugStop;
    }
    if (error_count != 0) {
        complain(false, "pravtweak %d errors: continue mutilation of\n\"%s\"?", error_count,
                 rc.xmlPath.c_str());
        if (!ask_yes())
            return ExitDeclined;
    }
    return replace_organ_file(rc.xmlPath, read, output);
}
