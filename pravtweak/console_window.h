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

// True when the console is the process's own; from then on a failing end
// of the program waits for a key. Called before the command line is read,
// so that a bad one is readable too.
bool keep_own_console_open();

// Makes the INI file's directory the current one and returns the INI
// file's name from there (ini_path when it has no directory part).
const char* enter_ini_directory(const char* ini_path);
