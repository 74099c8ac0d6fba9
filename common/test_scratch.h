// Test helpers: a fresh scratch directory that is the current directory
// while it lives, and whole-file reads and writes in binary mode.
#pragma once

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

class ScratchDir {
  public:
    ScratchDir() : previous_(std::filesystem::current_path()) {
        auto seed = std::chrono::steady_clock::now().time_since_epoch().count();
        for (int i = 0;; ++i) {
            path_ = std::filesystem::temp_directory_path() /
                    ("unit-" + std::to_string(seed) + "-" + std::to_string(i));
            if (std::filesystem::create_directory(path_))
                break;
        }
        std::filesystem::current_path(path_);
    }
    ~ScratchDir() {
        std::filesystem::current_path(previous_);
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

  private:
    std::filesystem::path previous_, path_;
};

inline void write_file(const std::string& name, const std::string& bytes) {
    FILE* f = std::fopen(name.c_str(), "wb");
    if (!f)
        return;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

inline std::string read_file(const std::string& name) {
    std::string bytes;
    FILE* f = std::fopen(name.c_str(), "rb");
    if (!f)
        return bytes;
    char chunk[4096];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;)
        bytes.append(chunk, n);
    std::fclose(f);
    return bytes;
}
