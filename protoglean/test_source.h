// A scratch file holding given bytes, open for binary reading, removed when
// the test ends.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

class TestSource {
  public:
    explicit TestSource(const std::string& bytes) {
        static int count = 0;
        name_ = "protoglean_test_" + std::to_string(++count) + ".tmp";
        FILE* f = fopen(name_.c_str(), "wb");
        EXPECT_NE(f, nullptr);
        fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
        file = fopen(name_.c_str(), "rb");
        EXPECT_NE(file, nullptr);
    }
    ~TestSource() {
        if (file)
            fclose(file);
        remove(name_.c_str());
    }
    FILE* file = nullptr;

  private:
    std::string name_;
};

// Everything a stream holds from its start, for output written in tests.
inline std::string read_back(FILE* f) {
    fflush(f);
    rewind(f);
    std::string text;
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0)
        text.append(chunk, n);
    return text;
}
