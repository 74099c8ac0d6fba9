// -u: the last replacement undone through the same guarded replacement.
#pragma once

// The organ file's backup takes the organ file's place, and the organ
// file's content becomes the backup, so that a second undo redoes. Reads
// only xml= from the INI file (with -v also the model, whose rank names the
// report gives) and asks nothing. Returns ExitReplaced, ExitCannotOpen when
// there is no backup ("NAME.b~k not found, nothing to undo."), or
// ExitNotReplaced with the replacement's message. A missing organ file ends
// the program as a run's does.
int run_undo();
