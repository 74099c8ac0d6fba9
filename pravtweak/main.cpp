#include "catalogue.h"
#include "console_window.h"
#include "exit_status.h"
#include "files.h"
#include "ini/run_configuration.h"
#include "messages.h"
#include "platform.h"
#include "run_edit.h"
#include "undo.h"
#include "version.h"

int main(int argc, char** argv) {
    platform::utf8_arguments(argc, argv);
    platform::write_errors_instead_of_signals();
    if (shows_version(argc, argv, "pravtweak"))
        return ExitReplaced;
    // A window of its own stays open after a failure, a bad command line too.
    const bool own_console = keep_own_console_open();
    install_out_of_memory_handler();
    char prefix = '-';
    const char* ini_path = nullptr;
    bool undo = false;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        // An absolute POSIX path is a name, whatever the option prefix.
        bool may_be_option = !platform::is_path_argument(arg);
        if (may_be_option && arg[0] == '/')
            prefix = '/';
        if (may_be_option && arg[0] == prefix) {
            switch (arg[1]) {
                case '\0':
                    break;
                case 'd':
                    debug_mode = arg[2] != '-';
                    break;
                case 'v':
                    report_mode = arg[2] != '-';
                    break;
                case 'u':
                    undo = arg[2] != '-';
                    break;
                case 'r':
                    // -u undoes; it lists nothing.
                    if (undo)
                        usage();
                    list_models();
                    return ExitListing;
                default:
                    usage();
            }
        } else {
            if (ini_path)
                usage();
            ini_path = setIniPath(arg);
        }
    }
    // -u undoes a run: it edits nothing and stops nowhere.
    if (!ini_path || (undo && debug_mode))
        usage();
    if (own_console)
        setIniPath(enter_ini_directory(ini_path));
    end_program(undo ? run_undo() : run_edit());
}
