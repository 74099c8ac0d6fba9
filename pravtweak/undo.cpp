#include "undo.h"

#include <cstdio>
#include <string>

#include "catalogue.h"
#include "change_report.h"
#include "exit_status.h"
#include "files.h"
#include "ini/run_configuration.h"
#include "line_source.h"
#include "messages.h"
#include "platform.h"
#include "rank_reader.h"
#include "replace_organ.h"
#include "run_edit.h"
#include "run_state.h"

namespace {

// Writes -v's report of the undo: section by section, what the organ file
// holds against what the backup holds, in the order of the files.
void report_undo(FILE* organ, FILE* backup) {
    rewind(organ);
    rewind(backup);
    LineSource now(organ), then(backup);
    const OrganModel catalogue_values = *current_model;
    int lines = 0;
    Piece tag_line;
    for (;;) {
        const bool in_now = now.copy_until_ranks(nullptr, lines, tag_line);
        OrganModel held_now = catalogue_values, held_then = catalogue_values;
        if (in_now)
            read_ranks(now, lines, nullptr, &held_now, true);
        const bool in_then = then.copy_until_ranks(nullptr, lines, tag_line);
        if (in_then)
            read_ranks(then, lines, nullptr, &held_then, true);
        if (!in_now && !in_then)
            return;
        report_count(report_rank_changes(held_now, held_then, stdout), current_model->rank_count,
                     stdout);
    }
}

}  // namespace

int run_undo() {
    loadRunConfiguration();
    const RunConfiguration& rc = runConfiguration;
    if (report_mode && !find_model(rc.modelName.c_str()))
        complain(true, "pravtweak %d:pipravox \"%s\" unknown!", line_number, rc.modelName.c_str());
    const OrganFiles files = organ_files(rc.xmlPath);
    Reader backup(platform::open_regular(files.backup.c_str()));
    if (!backup) {
        fprintf(stderr, "%s not found, nothing to undo.\n", files.backup.c_str());
        return ExitCannotOpen;
    }
    FILE* organ_file;
    checked_open_regular(&organ_file, rc.xmlPath.c_str());
    Reader organ(organ_file);

    // The backup's text is written beside the organ file and swapped in
    // like an edited text: the organ file's content becomes the backup.
    ReplacementFile undone(ReplacementFile::Abandon::remove);
    FILE* out = checked_create(undone, directory_part(files.organ));
    platform::FileStamp read;
    if (platform::stamp_of(organ.get(), read))
        undone.set_original(read);
    if (!copy_stream(backup.get(), out)) {
        fprintf(stderr, "couldn't write %s.\n", undone.name().c_str());
        undone.remove();
        return ExitNotReplaced;
    }
    if (report_mode)
        report_undo(organ.get(), backup.get());
    organ.reset();
    backup.reset();
    return replace_organ_file(rc.xmlPath, files, undone, ReplacementFile::IfSame::compare);
}
