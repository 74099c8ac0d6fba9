#include "replace_organ.h"

#include <cstdio>

#include "exit_status.h"
#include "files.h"
#include "platform.h"
#include "run_edit.h"

OrganFiles organ_files(const std::string& xml_path) {
    OrganFiles files;
    files.organ = platform::final_target(xml_path);
    files.backup = backup_path(files.organ);
    return files;
}

int replace_organ_file(const std::string& xml_path, const OrganFiles& files,
                       ReplacementFile& edited, ReplacementFile::IfSame if_same) {
    const char* name = xml_path.c_str();
    // A file whose own extension is .b~k would be its own backup.
    Replacement result = platform::same_name(files.backup.c_str(), files.organ.c_str())
                             ? Replacement{Replacement::not_moved, files.organ, files.organ}
                             : edited.commit(files.organ, files.backup, if_same);
    if (report_mode && edited.checked_without_lock()) {
        printf("%s cannot be locked here: only the check that it was unchanged guarded it.\n",
               name);
        fflush(stdout);
    }
    switch (result.how) {
        case Replacement::done:
        case Replacement::same_text:
            return ExitReplaced;
        case Replacement::not_written:
            fprintf(stderr, "couldn't write %s.\n", result.from.c_str());
            break;
        case Replacement::changed:
            fprintf(stderr, "%s changed during the edit.\n", name);
            break;
        case Replacement::in_use:
            fprintf(stderr, "%s is in use by another program.\n", name);
            break;
        case Replacement::not_moved:
        case Replacement::backup_not_moved:
            fprintf(stderr, "couldn't move %s to %s.\n", result.from.c_str(), result.to.c_str());
            break;
        case Replacement::previous_lost:
            fprintf(stderr, "couldn't keep the previous content of %s.\n", name);
            break;
    }
    edited.remove();
    return ExitNotReplaced;
}
