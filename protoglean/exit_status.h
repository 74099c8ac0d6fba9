// Every status that protoglean ends with.
#pragma once

#include "library_exit.h"

enum ExitStatus : int {
    ExitSuccess = 0,      // every input was processed
    ExitUsage = 2,        // the help text was shown
    ExitNotWritten = 13,  // the output could not be written
};
// ExitCannotOpen (3) and ExitOutOfMemory (7) come from the utility library.
