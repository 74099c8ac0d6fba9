// What the fuzz targets share: cutting one input into files, a scratch
// directory for the files that the code under test opens by name, and the
// check that turns a broken invariant into a finding.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "test_support.h"

// The byte that separates the files cut from one input (ASCII's file
// separator).
const char FILE_SEPARATOR = '\x1c';

// The input cut at its first max_parts - 1 file separators; the last part
// keeps any further ones.
inline std::vector<std::string> cut_input(const uint8_t* data, size_t size, size_t max_parts) {
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == static_cast<uint8_t>(FILE_SEPARATOR) && parts.size() < max_parts)
            parts.emplace_back();
        else
            parts.back() += static_cast<char>(data[i]);
    }
    return parts;
}

// The path of a file in a directory of this process's own, removed at exit.
// The current directory stays as it is: libFuzzer writes there.
inline std::string scratch_file(const std::string& name) {
    static struct Dir {
        std::filesystem::path path = new_scratch_directory("fuzz-");
        ~Dir() {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    } scratch;
    return (scratch.path / name).string();
}

// A stream holding bytes, read from its start.
inline FILE* stream_of(const std::string& bytes) {
    FILE* f = std::tmpfile();
    if (!f)
        std::abort();
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::rewind(f);
    return f;
}

// Aborts, which libFuzzer reports as a finding, when an invariant fails.
inline void require(bool holds, const char* what) {
    if (holds)
        return;
    std::fprintf(stderr, "broken invariant: %s\n", what);
    std::abort();
}
