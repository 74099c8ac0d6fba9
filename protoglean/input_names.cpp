#include "input_names.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "library_exit.h"

namespace protoglean {

namespace {

// The one search in progress: the directory part of its pattern and the
// names still to come.
std::string path_buf;
std::string search_directory;
std::vector<std::string> matches;
size_t next_match = 0;

size_t directory_length(const std::string& path) {
    size_t length = platform::drive_length(path.c_str());
    for (size_t i = length; i < path.size(); ++i)
        if (platform::is_separator(path[i]))
            length = i + 1;
    return length;
}

OutputFile known_if_regular(bool stamped, const platform::FileStamp& stamp) {
    OutputFile output;
    output.known = stamped && stamp.regular;
    if (output.known)
        output.stamps.push_back(stamp);
    return output;
}

bool is_one_of(const OutputFile& output, bool stamped, const platform::FileStamp& stamp) {
    if (!output.known || !stamped)
        return false;
    for (const platform::FileStamp& file : output.stamps)
        if (platform::same_file(stamp, file))
            return true;
    return false;
}

}  // namespace

OutputFile output_file_at(const char* path) {
    platform::FileStamp stamp;
    return known_if_regular(platform::stamp_of(path, stamp), stamp);
}

OutputFile output_file_of(FILE* stream) {
    platform::FileStamp stamp;
    return known_if_regular(platform::stamp_of(stream, stamp), stamp);
}

OutputFile both(OutputFile a, const OutputFile& b) {
    a.stamps.insert(a.stamps.end(), b.stamps.begin(), b.stamps.end());
    a.known = !a.stamps.empty();
    return a;
}

bool is_output_file(const OutputFile& output, const char* path) {
    platform::FileStamp stamp;
    return is_one_of(output, platform::stamp_of(path, stamp), stamp);
}

bool is_output_file(const OutputFile& output, FILE* stream) {
    platform::FileStamp stamp;
    return is_one_of(output, platform::stamp_of(stream, stamp), stamp);
}

bool has_wildcards(const char* name) {
    return strpbrk(name, "*?") != nullptr;
}

void refuse_output_as_input(const char* name) {
    fprintf(stderr, "%s is the output file.\n", name);
    exit(ExitCannotOpen);
}

const char* next_input_name(char* text, const OutputFile& output) {
    if (text[0] != '\0') {
        path_buf = text;
        text[0] = '\0';
        size_t directory = directory_length(path_buf);
        search_directory = path_buf.substr(0, directory);
        matches = platform::find_files(search_directory, path_buf.substr(directory));
        if (output.known) {
            std::vector<std::string> inputs;
            for (std::string& name : matches)
                if (!is_output_file(output, (search_directory + name).c_str()))
                    inputs.push_back(std::move(name));
            matches.swap(inputs);
        }
        next_match = 0;
        if (matches.empty())
            return path_buf.c_str();
    }
    if (next_match >= matches.size())
        return nullptr;
    path_buf = search_directory + matches[next_match++];
    return path_buf.c_str();
}

}  // namespace protoglean
