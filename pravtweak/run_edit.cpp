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
#include "replace_organ.h"
#include "run_state.h"

bool debug_mode = false;
bool report_mode = false;
int line_number = 0;

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
    bool same_text = false;
    const ChangeReportTo report{stdout, rc.xmlPath.c_str()};
    if (int status =
            edit_organ_text(input, output, line_number, same_text, report_mode ? &report : nullptr))
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
    // A text that changes nothing but the date stamp leaves the organ file
    // and its backup as they are: a second run must not make the first
    // run's output the backup, losing the original.
    return replace_organ_file(
        rc.xmlPath, organ_files(rc.xmlPath), edited,
        same_text ? ReplacementFile::IfSame::known : ReplacementFile::IfSame::replace);
}
