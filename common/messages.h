// The counted message service and the single-key console questions.
#pragma once

// Number of messages complain has printed; never reset.
extern int error_count;

// Prints the formatted message and a line feed on standard error and counts
// it; with show_usage set it then shows the help text, ending the program.
void complain(bool show_usage, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Reads one key (echoed), writes a line feed on standard output, and answers
// whether the key was Y or y. Without a terminal it answers No at once.
bool ask_yes();

// The pager question. True at once when standard output is redirected;
// otherwise prompts "More? (Y/): N", reads one key unechoed, erases the
// prompt and answers whether the key was Y or y.
bool ask_more();

// Shows the program's help text and ends the program. Each program that
// links this library defines its own.
[[noreturn]] void usage();
