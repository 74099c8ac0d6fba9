// Windows starts a program that a file is dropped on in a console window of
// its own, in a current directory it chooses, and closes the window the
// moment the program ends. These rules make such a run work and its
// message readable; in a console shared with a shell, on POSIX and without
// a console nothing of this happens.
#pragma once

// True when the console belongs to this process alone (process_count 1)
// and standard input is that console.
bool console_of_its_own(unsigned process_count, bool stdin_console);

// True for the ends whose message must stay readable: 3, 7, 13 and 17
// (11 and 12 waited for a key already; 0 and 5 close at once).
bool waits_before_closing(int status);

// When the console is the process's own: makes the INI file's directory the
// current one and returns the INI file's name from there, and has the
// program wait for a key before a failing end. Otherwise returns ini_path.
const char* settle_in_own_console(const char* ini_path);
