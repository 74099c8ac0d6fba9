// protoglean afn [:afn] [[+]outfile]: writes the prototypes and extern
// declarations of marked C sources to one output.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "exit_status.h"
#include "extract.h"
#include "files.h"
#include "input_names.h"
#include "messages.h"
#include "platform.h"
#include "replacement.h"
#include "version.h"

namespace {

bool is_input(const char* arg) {
    return arg[0] == ':' || arg[0] == '&';
}

// The arguments that ask for the help text, as other tools take them.
bool is_help_option(const char* arg) {
    for (const char* option : {"--help", "-h", "-?", "/?"})
        if (strcmp(arg, option) == 0)
            return true;
    return false;
}

// An existing output named without "+" that is a C source would be
// emptied: "protoglean *.c" expanded by a shell names a second source
// there. Its name ends in ".c", or it holds a line the extractor would take
// as a marker or "_copy" and is no header the extractor wrote. Ends the run
// with status 3 before anything is opened or written.
void refuse_c_source_as_output(const char* output_name) {
    size_t length = strlen(output_name);
    bool c_name = length >= 2 && output_name[length - 2] == '.' &&
                  (output_name[length - 1] == 'c' || output_name[length - 1] == 'C');
    FILE* file = platform::open_regular(output_name);
    if (!file)
        return;
    bool source = c_name || protoglean::holds_marked_lines(file);
    fclose(file);
    if (source) {
        fprintf(stderr, "%s is a C source, not an output.\n", output_name);
        exit(ExitCannotOpen);
    }
}

// An input named outright that is the output file ends the run before the
// output is opened, so that the file stays as it was.
void refuse_inputs_that_are_output(int argc, char** argv, const char* output_name) {
    using namespace protoglean;
    OutputFile output = output_name ? output_file_at(output_name) : output_file_of(stdout);
    if (!output.known)
        return;
    auto refuse_if_output = [&output](const char* name) {
        if (!has_wildcards(name) && is_output_file(output, name))
            refuse_output_as_input(name);
    };
    refuse_if_output(argv[1]);
    for (int i = 2; i < argc; ++i)
        if (is_input(argv[i]))
            refuse_if_output(argv[i] + 1);
}

// True when the output is a regular file or none yet: it can be replaced
// by a new file. A device or a FIFO (/dev/null, /dev/stdout) is written to
// as it is, and a directory fails to open as before.
bool replaceable(const char* output_name) {
    platform::FileStamp stamp;
    return !platform::stamp_of(output_name, stamp) || stamp.regular;
}

}  // namespace

int main(int argc, char** argv) {
    platform::utf8_arguments(argc, argv);
    platform::write_errors_instead_of_signals();
    if (shows_version(argc, argv, "protoglean"))
        return ExitSuccess;
    for (int i = 1; i < argc; ++i)
        if (is_help_option(argv[i]))
            usage();
    install_out_of_memory_handler();
    if (argc < 2)
        usage();
    const char* output_name = nullptr;
    for (int i = 2; i < argc; ++i) {
        if (is_input(argv[i]))
            continue;
        if (output_name)
            usage();
        output_name = argv[i];
    }

    bool append = output_name && output_name[0] == '+';
    if (append)
        ++output_name;
    refuse_inputs_that_are_output(argc, argv, output_name);
    if (output_name && !append)
        refuse_c_source_as_output(output_name);

    // An output named without "+" that is a file, or is still to be made,
    // is written beside it and renamed in at the end.
    FILE* out = stdout;
    ReplacementFile header(ReplacementFile::Abandon::remove, ReplacementFile::Durability::kill);
    std::string target;
    protoglean::OutputFile replaced;
    if (output_name && (append || !replaceable(output_name))) {
        checked_fopen(&out, output_name, append ? "a" : "w");
    } else if (output_name) {
        target = platform::final_target(output_name);
        replaced = protoglean::output_file_at(target.c_str());
        out = checked_create(header, directory_part(target), output_name, true);
    }
    static char out_buffer[1 << 16];
    if (out != stdout)
        setvbuf(out, out_buffer, _IOFBF, sizeof out_buffer);

    // Inputs in command-line order, wherever the output name stands.
    protoglean::extract_argument(argv[1], out, protoglean::SourceReader::default_capacity,
                                 protoglean::LineScan::bulk, replaced);
    for (int i = 2; i < argc; ++i)
        if (is_input(argv[i]))
            protoglean::extract_argument(argv[i] + 1, out,
                                         protoglean::SourceReader::default_capacity,
                                         protoglean::LineScan::bulk, replaced);

    // Output that did not reach the file must not pass for a finished run.
    bool written = fflush(out) == 0 && !ferror(out);
    if (header.stream()) {
        Replacement::How how = written
                                   ? header.commit(target, "", ReplacementFile::IfSame::compare).how
                                   : Replacement::not_written;
        written = how == Replacement::done || how == Replacement::same_text;
    } else if (out != stdout) {
        written = fclose(out) == 0 && written;
    }
    if (!written) {
        header.remove();
        fprintf(stderr, "couldn't write %s.\n", output_name ? output_name : "standard output");
        return ExitNotWritten;
    }
    return ExitSuccess;
}
