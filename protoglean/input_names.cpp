#include "input_names.h"

#include <string>
#include <vector>

#include "platform.h"

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

}  // namespace

const char* next_input_name(char* text) {
    if (text[0] != '\0') {
        path_buf = text;
        text[0] = '\0';
        size_t directory = directory_length(path_buf);
        search_directory = path_buf.substr(0, directory);
        matches = platform::find_files(search_directory, path_buf.substr(directory));
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
