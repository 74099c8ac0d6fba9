// What unit tests that touch files share: a fresh scratch directory that is
// the current directory while it lives, and whole-file reads and writes in
// binary mode.
#pragma once

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

inline void write_file(const std::string& name, const std::string& bytes) {
    FILE* f = std::fopen(name.c_str(), "wb");
    if (!f)
        return;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

// Everything a stream holds from its start.
inline std::string read_back(FILE* f) {
    std::fflush(f);
    std::rewind(f);
    std::string bytes;
    char chunk[4096];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;)
        bytes.append(chunk, n);
    return bytes;
}

inline std::string read_file(const std::string& name) {
    FILE* f = std::fopen(name.c_str(), "rb");
    if (!f)
        return std::string();
    std::string bytes = read_back(f);
    std::fclose(f);
    return bytes;
}

// A new, empty directory in the system's temporary directory, its name
// made from prefix, the clock and a counter.
inline std::filesystem::path new_scratch_directory(const std::string& prefix) {
    auto seed = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int i = 0;; ++i) {
        std::filesystem::path path = std::filesystem::temp_directory_path() /
                                     (prefix + std::to_string(seed) + "-" + std::to_string(i));
        if (std::filesystem::create_directory(path))
            return path;
    }
}

class ScratchDir {
  public:
    ScratchDir()
        : previous_(std::filesystem::current_path()), path_(new_scratch_directory("unit-")) {
        std::filesystem::current_path(path_);
    }
    ~ScratchDir() {
        for (FILE* f : opened_)
            std::fclose(f);
        std::filesystem::current_path(previous_);
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    // A new file of the directory holding bytes, open for binary reading
    // until the directory goes.
    FILE* open_source(const std::string& bytes) {
        std::string name = "source-" + std::to_string(opened_.size()) + ".tmp";
        write_file(name, bytes);
        FILE* f = std::fopen(name.c_str(), "rb");
        if (f)
            opened_.push_back(f);
        return f;
    }

  private:
    std::filesystem::path previous_, path_;
    std::vector<FILE*> opened_;
};
