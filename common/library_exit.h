// The statuses with which the utility library ends a program by itself;
// each program's exit_status.h names them among its own.
#pragma once

enum LibraryExit : int {
    ExitCannotOpen = 3,   // checked_fopen could not open a file
    ExitOutOfMemory = 7,  // checked_alloc or a C++ allocation found no memory
};
