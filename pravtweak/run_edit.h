// One editing run: copy the organ file into a temporary file with its
// <ranks> sections regenerated, then swap it in with a backup.
#pragma once

extern bool debug_mode;
// -v: report what each rank section changes on standard output.
extern bool report_mode;

// Returns the exit status (exit_status.h): ExitReplaced, ExitDebugStop,
// ExitDeclined, ExitNotReplaced or ExitPrematureEnd. A file that cannot be
// opened, a model not in the catalogue and exhausted temporary names end the
// program before it returns.
int run_edit();
