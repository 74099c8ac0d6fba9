// protoglean afn [:afn] [[+]outfile]: writes the prototypes and extern
// declarations of marked C sources to one output.
#include <cstdio>

#include "exit_status.h"
#include "extract.h"
#include "files.h"
#include "input_names.h"
#include "messages.h"
#include "platform.h"

namespace {

bool is_input(const char* arg) {
    return arg[0] == ':' || arg[0] == '&';
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

}  // namespace

int main(int argc, char** argv) {
    platform::utf8_arguments(argc, argv);
    platform::write_errors_instead_of_signals();
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

    FILE* out = stdout;
    if (output_name) {
        checked_fopen(&out, output_name, append ? "a" : "w");
        static char out_buffer[1 << 16];
        setvbuf(out, out_buffer, _IOFBF, sizeof out_buffer);
    }

    // Inputs in command-line order, wherever the output name stands.
    protoglean::extract_argument(argv[1], out);
    for (int i = 2; i < argc; ++i)
        if (is_input(argv[i]))
            protoglean::extract_argument(argv[i] + 1, out);

    // Output that did not reach the file must not pass for a finished run.
    bool written = fflush(out) == 0 && !ferror(out);
    if (out != stdout)
        written = fclose(out) == 0 && written;
    if (!written) {
        fprintf(stderr, "couldn't write %s.\n", output_name ? output_name : "standard output");
        return ExitNotWritten;
    }
    return ExitSuccess;
}
