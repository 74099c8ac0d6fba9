// One editing run: copy the organ file into a temporary file with its
// <ranks> sections regenerated, then swap it in with a backup.
#pragma once

extern bool debug_mode;

// Returns the exit status: 0 replaced, 11 debug stop, 12 declined after
// errors, 13 the file could not be read, written or moved, 17 a <ranks>
// section never ended.
int run_edit();
