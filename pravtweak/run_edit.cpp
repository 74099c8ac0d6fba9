#include "run_edit.h"

#include <string>

#include "catalogue.h"
#include "edit_text.h"
#include "exit_status.h"
#include "files.h"
#include "ini/run_configuration.h"
#include "line_source.h"
#include "messages.h"
#include "platform.h"
#include "replacement.h"
#include "run_state.h"

bool debug_mode = false;
bool report_mode = false;
int line_number = 0;

namespace {

// Puts the edited text in the organ file's place, keeping the previous
// content under the backup name; ReplacementFile::commit gives the steps
// and what a failure at each leaves behind. The organ file is the file that
// xml_path finally names through symbolic links; the links stay as they
// are. Every failure writes its message, leaves the organ file and an old
// backup as they were, deletes the temporary files and returns
// ExitNotReplaced.
int replace_organ_file(const std::string& xml_path, ReplacementFile& edited) {
    const std::string organ = platform::final_target(xml_path);
    const std::string backup = backup_path(organ);
    // A file whose own extension is .b~k would be its own backup.
    Replacement result = platform::same_name(backup.c_str(), organ.c_str())
                             ? Replacement{Replacement::not_moved, organ, organ}
                             : edited.commit(organ, backup);
    switch (result.how) {
        case Replacement::done:
        case Replacement::same_text:
            return ExitReplaced;
        case Replacement::not_written:
            fprintf(stderr, "couldn't write %s.\n", result.from.c_str());
            break;
        case Replacement::changed:
            fprintf(stderr, "%s changed during the edit.\n", xml_path.c_str());
            break;
        case Replacement::not_moved:
        case Replacement::backup_not_moved:
            fprintf(stderr, "couldn't move %s to %s.\n", result.from.c_str(), result.to.c_str());
            break;
    }
    edited.remove();
    return ExitNotReplaced;
}

}  // namespace

int run_edit() {
    loadRunConfiguration();
    const RunConfiguration& rc = runConfiguration;
    if (!find_model(rc.modelName.c_str()))
        complain(true, "pravtweak %d:pipravox \"%s\" unknown!", line_number, rc.modelName.c_str());
    clear_read_flags();
    // Runs that end with ExitNotReplaced delete the edited text (a partial
    // copy would keep a full disk full); other ends leave it to look at.
    ReplacementFile edited(ReplacementFile::Abandon::keep);
    FILE* output = checked_create(edited, "");
    FILE* input_file;
    checked_open_regular(&input_file, rc.xmlPath.c_str());
    platform::FileStamp read;
    if (platform::stamp_of(input_file, read))
        edited.set_original(read);
    static char output_buffer[1 << 16];
    setvbuf(output, output_buffer, _IOFBF, sizeof output_buffer);

    LineSource input(input_file);
    if (int status = edit_organ_text(input, output, line_number, report_mode ? stdout : nullptr))
        return status;
    if (input.failed()) {
        fprintf(stderr, "couldn't read %s.\n", rc.xmlPath.c_str());
        edited.remove();
        return ExitNotReplaced;
    }
    // Everything is read: other programs may use the organ file while the
    // run waits for an answer (on Windows an open file cannot be replaced).
    fclose(input_file);

    if (debug_mode) {
        if (report_mode) {
            printf("The edited text is in %s.\n", edited.name().c_str());
            fflush(stdout);
        }
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
    return replace_organ_file(rc.xmlPath, edited);
}
