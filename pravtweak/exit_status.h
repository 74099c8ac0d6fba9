// Every status that pravtweak ends with.
#pragma once

#include "library_exit.h"

enum ExitStatus : int {
    ExitReplaced = 0,       // the organ file was replaced by the edited one
    ExitListing = 5,        // -r printed the model listing
    ExitUsage = 7,          // the help text was shown
    ExitDebugStop = 11,     // -d stopped the run before the replacement
    ExitDeclined = 12,      // errors were reported and the answer was not Y
    ExitNotReplaced = 13,   // the edited file could not be read, written or swapped in
    ExitPrematureEnd = 17,  // a <ranks> section never ended, or a settings pass failed
};
// ExitCannotOpen (3) and ExitOutOfMemory (7) come from the utility library.

// What apply_all_settings returns when a pass fails; the run then ends with
// ExitPrematureEnd.
const int SettingsFailed = 37;
