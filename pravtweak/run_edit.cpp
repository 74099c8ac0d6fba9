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
#include "run_state.h"

bool debug_mode = false;
int line_number = 0;

namespace {

int fail_move(const char* from, const char* to) {
    fprintf(stderr, "couldn't move %s to %s.\n", from, to);
    return ExitNotReplaced;
}

// Puts the finished temporary file in the organ file's place, keeping the
// previous content under the backup name.
//
// Calling sequence, each step checked before the next:
//   1. The backup name must differ from the organ file's name (a file whose
//      own extension is .b~k would be its own backup). Otherwise: "couldn't
//      move X to X.", nothing touched.
//   2. The input is closed; the temporary file is flushed, synced and
//      closed. A failure: "couldn't write TEMP.", the organ file untouched,
//      the temporary file left.
//   3. An old file of the backup name is deleted (never a directory).
//   4. The organ file is moved to the backup name. A failure: "couldn't move
//      ORGAN to BACKUP.", the organ file untouched.
//   5. The temporary file is moved to the organ file's name. A failure: the
//      backup is moved back to the organ name and "couldn't move TEMP to
//      ORGAN." is written; the temporary file is left.
// Every failure ends the run with ExitNotReplaced.
int replace_organ_file(const char* xml_path, const char* temp_path, FILE* input, FILE* output) {
    if (platform::same_name(backup_path(xml_path).c_str(), xml_path))
        return fail_move(xml_path, xml_path);
    fclose(input);
    if (!platform::commit_and_close(output)) {
        fprintf(stderr, "couldn't write %s.\n", temp_path);
        return ExitNotReplaced;
    }
    char* backup = backup_name(xml_path);
    if (!platform::move_file(xml_path, backup))
        return fail_move(xml_path, backup);
    if (!platform::move_file(temp_path, xml_path)) {
        platform::move_file(backup, xml_path);
        return fail_move(temp_path, xml_path);
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
    char* temp_path = new_temp_file();
    FILE* input_file;
    FILE* output;
    checked_fopen(&input_file, rc.xmlPath.c_str(), "r", true);
    checked_fopen(&output, temp_path, "w", true);
    static char output_buffer[1 << 16];
    setvbuf(output, output_buffer, _IOFBF, sizeof output_buffer);

    LineSource input(input_file);
    if (int status = edit_organ_text(input, output, line_number))
        return status;
    if (input.failed()) {
        fprintf(stderr, "couldn't read %s.\n", rc.xmlPath.c_str());
        return ExitNotReplaced;
    }

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
    return replace_organ_file(rc.xmlPath.c_str(), temp_path, input_file, output);
}
