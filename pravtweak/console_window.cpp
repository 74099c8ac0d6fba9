#include "console_window.h"

#include <cstdio>
#include <string>

#include "exit_status.h"
#include "files.h"
#include "platform.h"

namespace {

void wait_before_closing(int status, bool mid_line) {
    if (!waits_before_closing(status))
        return;
    fprintf(stderr, "%sPress a key to close this window.\n", mid_line ? "\n" : "");
    platform::read_key(false);
}

}  // namespace

bool console_of_its_own(unsigned process_count, bool stdin_console) {
    return process_count == 1 && stdin_console;
}

bool waits_before_closing(int status) {
    return status == ExitCannotOpen || status == ExitUsage || status == ExitNotReplaced ||
           status == ExitPrematureEnd;
}

bool keep_own_console_open() {
    if (!console_of_its_own(platform::console_process_count(), platform::stdin_reads_console()))
        return false;
    at_program_end(wait_before_closing);
    return true;
}

const char* enter_ini_directory(const char* ini_path) {
    std::string directory = directory_part(ini_path);
    if (directory.empty() || !platform::change_directory(directory.c_str()))
        return ini_path;
    return ini_path + directory.size();
}
