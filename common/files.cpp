#include "files.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "library_exit.h"
#include "messages.h"
#include "platform.h"

namespace {

void (*program_end_hook)(int status, bool mid_line) = nullptr;

}  // namespace

void cannot_open(const char* path, const char* mode) {
    fprintf(stderr, "couldn't open %s for %s.", path, mode);
    end_program(ExitCannotOpen, true);
}

void end_program(int status, bool mid_line) {
    if (program_end_hook)
        program_end_hook(status, mid_line);
    exit(status);
}

void at_program_end(void (*hook)(int status, bool mid_line)) {
    program_end_hook = hook;
}

FILE* checked_fopen(FILE** handle, const char* path, const char* mode, bool binary) {
    std::string open_mode(mode);
    if (binary)
        open_mode += 'b';
    *handle = platform::open_file(path, open_mode.c_str());
    if (!*handle)
        cannot_open(path, mode);
    return *handle;
}

FILE* checked_open_regular(FILE** handle, const char* path) {
    *handle = platform::open_regular(path);
    if (!*handle)
        cannot_open(path, "r");
    return *handle;
}

bool copy_stream(FILE* from, FILE* to) {
    static char chunk[1 << 16];
    if (fseek(from, 0, SEEK_SET) != 0)
        return false;
    for (size_t n; (n = fread(chunk, 1, sizeof chunk, from)) > 0;)
        if (fwrite(chunk, 1, n, to) != n)
            return false;
    return !ferror(from);
}

namespace {

[[noreturn]] void out_of_memory() {
    fputs("ran out of memory.", stderr);
    end_program(ExitOutOfMemory, true);
}

}  // namespace

void* checked_alloc(size_t size) {
    void* block = calloc(size ? size : 1, 1);
    if (!block)
        out_of_memory();
    return block;
}

void install_out_of_memory_handler() {
    std::set_new_handler(out_of_memory);
}

bool file_exists(const char* path) {
    return platform::path_exists(path);
}

void touch_file(const char* path) {
    FILE* f;
    checked_fopen(&f, path, "w");
    fclose(f);
}

namespace {

const char initial_template[] = "AAAAAAA~.Q~V";
std::string temp_name = initial_template;

// The names handed out by make_temp_file and backup_name. The callers use
// them until the program ends; they are released with the other statics at
// exit, so no run leaves them behind.
std::vector<std::unique_ptr<char[]>> kept_names;

char* kept_copy(const std::string& text) {
    kept_names.push_back(std::make_unique<char[]>(text.size() + 1));
    memcpy(kept_names.back().get(), text.c_str(), text.size() + 1);
    return kept_names.back().get();
}

}  // namespace

const char* temp_template() {
    return temp_name.c_str();
}

void reset_temp_template(const char* name) {
    temp_name = name ? name : initial_template;
}

int bump_temp_name() {
    for (int i = 6; i >= 0; --i) {
        if (++temp_name[i] <= 'Z')
            return 0;
        temp_name[i] = 'A';
    }
    return -1;
}

platform::Created claim_temp_name(const std::string& directory,
                                  const std::function<platform::Created(const char*)>& create,
                                  std::string& name) {
    for (;;) {
        name = directory + temp_name;
        // A name taken between the test and the creation counts as taken.
        if (!file_exists(name.c_str())) {
            platform::Created result = create(name.c_str());
            if (result != platform::Created::taken)
                return result;
        }
        if (bump_temp_name() == -1)
            complain(true, "pravtweak:Ran out of temp names!?");
    }
}

char* make_temp_file(const char* extension) {
    if (extension)
        temp_name = temp_name.substr(0, 8) + extension;
    std::string name;
    auto create = [](const char* candidate) {
        platform::Created result;
        if (FILE* f = platform::create_private_file(candidate, result))
            fclose(f);
        return result;
    };
    if (claim_temp_name("", create, name) == platform::Created::failed)
        cannot_open(name.c_str(), "w");
    return kept_copy(name);
}

char* new_temp_file() {
    return make_temp_file(".Q~V");
}

PathParts split_path(const std::string& path) {
    PathParts parts;
    size_t drive = platform::drive_length(path.c_str());
    size_t name_start = drive;
    for (size_t i = drive; i < path.size(); ++i)
        if (platform::is_separator(path[i]))
            name_start = i + 1;
    size_t dot = path.rfind('.');
    size_t ext_start = dot == std::string::npos || dot < name_start ? path.size() : dot;
    parts.drive = path.substr(0, drive);
    parts.directory = path.substr(drive, name_start - drive);
    parts.base = path.substr(name_start, ext_start - name_start);
    parts.extension = path.substr(ext_start);
    return parts;
}

std::string directory_part(const std::string& path) {
    PathParts parts = split_path(path);
    return parts.drive + parts.directory;
}

std::string backup_path(const std::string& path) {
    PathParts parts = split_path(path);
    return parts.drive + parts.directory + parts.base + ".b~k";
}

char* backup_name(const char* path) {
    std::string name = backup_path(path);
    platform::delete_file(name.c_str());
    return kept_copy(name);
}

namespace {

const char* const weekdays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                "Thursday", "Friday", "Saturday"};

// Takes from min to max digits, then the separator, off the front of text.
bool take_number(std::string_view& text, size_t min, size_t max, std::string_view separator) {
    size_t n = 0;
    while (n < text.size() && n < max && text[n] >= '0' && text[n] <= '9')
        ++n;
    if (n < min || text.substr(n, separator.size()) != separator)
        return false;
    text.remove_prefix(n + separator.size());
    return true;
}

}  // namespace

std::string format_date_stamp(const std::tm& time) {
    unsigned hour = static_cast<unsigned>(time.tm_hour);
    const char* half = "am";
    if (hour >= 12) {
        half = "pm";
        if (hour > 12)
            hour -= 12;
    }
    char buffer[64];
    snprintf(buffer, sizeof buffer, "%s %u/%u/%02u %u:%02u %s", weekdays[time.tm_wday % 7],
             static_cast<unsigned>(time.tm_mon + 1), static_cast<unsigned>(time.tm_mday),
             static_cast<unsigned>(time.tm_year % 100), hour, static_cast<unsigned>(time.tm_min),
             half);
    return buffer;
}

bool is_date_stamp(std::string_view text) {
    size_t blank = text.find(' ');
    bool weekday = false;
    for (const char* day : weekdays)
        weekday = weekday || text.substr(0, blank) == day;
    if (!weekday)
        return false;
    text.remove_prefix(blank + 1);
    return take_number(text, 1, 2, "/") && take_number(text, 1, 2, "/") &&
           take_number(text, 2, 2, " ") && take_number(text, 1, 2, ":") &&
           take_number(text, 2, 2, " ") && (text == "am" || text == "pm");
}

const char* date_stamp() {
    static char stamp[40];
    std::time_t now = std::time(nullptr);
    std::tm local = *std::localtime(&now);
    snprintf(stamp, sizeof stamp, "%s", format_date_stamp(local).c_str());
    return stamp;
}
