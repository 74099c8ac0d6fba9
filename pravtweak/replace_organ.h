// The organ file's replacement, shared by an editing run and an undo.
#pragma once

#include <string>

#include "replacement.h"

struct OrganFiles {
    std::string organ;   // the file that the organ path finally names through links
    std::string backup;  // beside it, with the extension ".b~k"
};

// The files that xml_path stands for; the links stay as they are.
OrganFiles organ_files(const std::string& xml_path);

// Puts the new text in the organ file's place, the previous content taking
// the backup name (ReplacementFile::commit gives the steps and what a
// failure at each leaves behind). Returns ExitReplaced, also when the organ
// file is left as it was because it already holds the text; or writes the
// failure's message, leaves the organ file and an old backup as they were
// (or, when only the backup failed, says where the previous content is),
// deletes the temporary files and returns ExitNotReplaced. With -v, says
// when the organ file could not be locked.
int replace_organ_file(const std::string& xml_path, const OrganFiles& files,
                       ReplacementFile& edited, ReplacementFile::IfSame if_same);
