#include "source_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

using protoglean::SourceReader;

namespace {

std::vector<std::string> all_lines(SourceReader& reader, size_t size) {
    std::vector<std::string> lines;
    const char* data;
    size_t length;
    while (reader.next_line(size, &data, &length))
        lines.emplace_back(data, length);
    return lines;
}

// What a text stream reads: every CR right before an LF dropped.
std::string as_text_stream(const std::string& bytes) {
    std::string text;
    for (size_t i = 0; i < bytes.size(); ++i)
        if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n'))
            text += bytes[i];
    return text;
}

}  // namespace

class SourceReaderTest : public testing::Test {
  protected:
    ScratchDir scratch;
};

TEST_F(SourceReaderTest, DropsCrBeforeLfOnlyAndKeepsZeroBytes) {
    SourceReader reader(scratch.open_source(std::string("a\r\nb\rc\r\r\n\0d\r\n\r", 14)));
    std::vector<std::string> expected = {"a\n", "b\rc\r\n", std::string("\0d\n", 3), "\r"};
    EXPECT_EQ(all_lines(reader, 200), expected);
}

TEST_F(SourceReaderTest, ReadsLinesLikeFgetsWhereverTheBufferEnds) {
    // With a small buffer, CR LF pairs and long lines fall on every possible
    // buffer boundary.
    std::string bytes;
    for (int i = 0; i < 300; ++i)
        bytes += std::string(i % 7, 'a') + (i % 3 ? "\r\n" : "\r");
    bytes += std::string(500, 'b') + "\r\r\n\r";
    for (size_t capacity = 400; capacity < 420; ++capacity) {
        SourceReader reader(scratch.open_source(bytes), capacity);
        std::vector<std::string> lines = all_lines(reader, 200);
        std::string text;
        for (size_t i = 0; i < lines.size(); ++i) {
            // fgets' limit: 199 bytes, unless an LF ends the line earlier.
            bool whole = lines[i].back() == '\n' || i + 1 == lines.size();
            EXPECT_TRUE(lines[i].size() == 199 || (lines[i].size() < 199 && whole)) << i;
            text += lines[i];
        }
        EXPECT_EQ(text, as_text_stream(bytes)) << "capacity " << capacity;
    }
}
