// The edit itself: the organ text copied with its <ranks> sections made anew.
#pragma once

#include <cstdio>

#include "line_source.h"

// Where -v's report goes, and the organ file's name for its last line.
struct ChangeReportTo {
    FILE* out;
    const char* organ_name;
};

// Copies the organ text from input to output, counting pieces in
// line_number, with every <ranks> section regenerated: read into the rank
// table, changed by the settings, written anew. Text beside the section's
// tags on their lines (before "<ranks>", after "</ranks>") is kept on a line
// of its own. Returns 0, or ExitPrematureEnd when a section never ends or a
// settings pass fails. A read error ends the input early; input.failed()
// tells it apart. same_text tells whether the output equals the input byte
// for byte but for the date and time in the sections' comment lines, so
// that the organ file need not change. With report given, each section
// written is followed by the report of what it changed there
// (change_report.h): what the section held, the catalogue's values where it
// gave none, against what was written; when the text is the same, the last
// line says that the organ file is left as it was.
int edit_organ_text(LineSource& input, FILE* output, int& line_number, bool& same_text,
                    const ChangeReportTo* report = nullptr);
