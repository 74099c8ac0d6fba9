#include "run_edit.h"

#include <string>

#include "catalogue.h"
#include "files.h"
#include "messages.h"
#include "platform.h"
#include "rank_reader.h"
#include "rank_writer.h"
#include "run_configuration.h"
#include "run_state.h"
#include "settings.h"

bool debug_mode = false;
int line_number = 0;
LineSource input;
FILE* output = nullptr;

namespace {

int fail_move(const char* from, const char* to) {
    fprintf(stderr, "couldn't move %s to %s.\n", from, to);
    return 13;
}

// Puts the finished temporary file in the organ file's place, keeping the
// previous content under the backup name. The organ file is never lost: a
// failed step leaves it, or puts it back, where it was.
int replace_organ_file(const char* xml_path, const char* temp_path) {
    if (platform::same_name(backup_path(xml_path).c_str(), xml_path))
        return fail_move(xml_path, xml_path);
    fclose(input.file);
    if (!platform::commit_and_close(output)) {
        fprintf(stderr, "couldn't write %s.\n", temp_path);
        return 13;
    }
    char* backup = backup_name(xml_path);
    if (!platform::move_file(xml_path, backup))
        return fail_move(xml_path, backup);
    if (!platform::move_file(temp_path, xml_path)) {
        platform::move_file(backup, xml_path);
        return fail_move(temp_path, xml_path);
    }
    return 0;
}

}  // namespace

int run_edit() {
    loadRunConfiguration();
    const RunConfiguration& rc = runConfiguration;
    if (!find_model(rc.modelName.c_str()))
        complain(true, "pravtweak %d:pipravox \"%s\" unknown!", line_number, rc.modelName.c_str());
    clear_read_flags();
    char* temp_path = new_temp_file();
    checked_fopen(&input.file, rc.xmlPath.c_str(), "r", true);
    checked_fopen(&output, temp_path, "w", true);
    static char output_buffer[1 << 16];
    setvbuf(output, output_buffer, _IOFBF, sizeof output_buffer);

    Piece ranks_line;
    while (copy_until_ranks(input, output, line_number, ranks_line)) {
        bool crlf = ranks_line.crlf;
        if (read_ranks(input, line_number) != 0)
            return 17;
        if (apply_all_settings() != 0)
            return 17;
        write_ranks(output, crlf, date_stamp());
    }
    if (input.failed) {
        fprintf(stderr, "couldn't read %s.\n", rc.xmlPath.c_str());
        return 13;
    }

    if (debug_mode) {
        complain(false, "pravtweak %d, -d debug (%d errors) (press a key)", line_number,
                 error_count);
        ask_yes();
        return 11;
    }
    if (error_count != 0) {
        complain(false, "pravtweak %d errors: continue mutilation of\n\"%s\"?", error_count,
                 rc.xmlPath.c_str());
        if (!ask_yes())
            return 12;
    }
    return replace_organ_file(rc.xmlPath.c_str(), temp_path);
}
