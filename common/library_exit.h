// The statuses with which the utility library ends a program by itself;
// each program's exit_status.h names them among its own.
#pragma once

enum LibraryExit : int {
    ExitCannotOpen = 3,   // checked_fopen could not open a file
    ExitOutOfMemory = 7,  // checked_alloc or a C++ allocation found no memory
};

// Ends the program with status, after the hook that the program set, if
// any. mid_line tells that the last message on standard error ended
// without a line feed.
[[noreturn]] void end_program(int status, bool mid_line = false);

// Sets the hook that end_program calls (pravtweak keeps a console window of
// its own open after a failure, so that its message can be read).
void at_program_end(void (*hook)(int status, bool mid_line));
