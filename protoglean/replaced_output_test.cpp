#include "replaced_output.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform.h"
#include "test_support.h"

using protoglean::ReplacedOutput;

namespace {

// What the file holds for a text: its LFs as a text stream writes them.
std::string on_disk(const std::string& text) {
    std::string bytes;
    for (char c : text)
        bytes += c == '\n' ? std::string(platform::text_line_end()) : std::string(1, c);
    return bytes;
}

// Numbered lines, some 3 * 64 KiB of them.
std::string long_text() {
    std::string text;
    for (int i = 0; text.size() < 200000; ++i)
        text += "extern int value_" + std::to_string(i) + ";\n";
    return text;
}

// Gives the output "out.h" the text in pieces of 7000 bytes and ends it.
bool replace(const std::string& text) {
    const size_t piece = 7000;
    ReplacedOutput output("out.h", "out.h");
    bool written = true;
    for (size_t at = 0; at < text.size(); at += piece)
        written = output.take(text.data() + at, std::min(piece, text.size() - at)) && written;
    return output.finish(written);
}

std::vector<std::string> files_here() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator("."))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

const std::vector<std::string> only_output = {"out.h"};

}  // namespace

class ReplacedOutputTest : public testing::Test {
  protected:
    ScratchDir scratch;
};

TEST_F(ReplacedOutputTest, PutsADifferentTextInPlaceWhereverTheTextsPart) {
    const std::string text = long_text();
    std::string changed_late = text;
    changed_late[150000] = '#';
    struct Row {
        bool exists;
        std::string old_text, new_text;
    };
    const Row rows[] = {
        {false, "", "a\nb\n"},
        {true, "", "x\n"},
        {true, "x\n", ""},
        {true, text, "#" + text.substr(1)},
        {true, text, changed_late},
        {true, text, text + "extern int more;\n"},
        {true, text, text.substr(0, 100000)},
    };
    for (const Row& row : rows) {
        std::remove("out.h");
        if (row.exists)
            write_file("out.h", on_disk(row.old_text));
        EXPECT_TRUE(replace(row.new_text)) << row.new_text.substr(0, 20);
        EXPECT_TRUE(read_file("out.h") == on_disk(row.new_text)) << row.new_text.substr(0, 20);
        EXPECT_EQ(files_here(), only_output);
    }
}

TEST_F(ReplacedOutputTest, TakesNoBytesFromAnOutputThatChangedMeanwhile) {
    // Another program writes into the output while the run compares: the
    // shared bytes can no longer be taken from it, and the run fails
    // rather than put a mixed text in place.
    const std::string text = long_text();
    write_file("out.h", on_disk(text));
    // Written long ago, so that the write below moves its time on.
    std::filesystem::last_write_time(
        "out.h", std::filesystem::last_write_time("out.h") - std::chrono::hours(1));
    ReplacedOutput output("out.h", "out.h");
    EXPECT_TRUE(output.take(text.data(), 100000));
    FILE* other = fopen("out.h", "r+b");
    ASSERT_NE(other, nullptr);
    fputs("#", other);
    fclose(other);
    EXPECT_FALSE(output.take("#", 1));
    EXPECT_FALSE(output.finish(false));
    EXPECT_TRUE(read_file("out.h") == "#" + on_disk(text).substr(1));
    EXPECT_EQ(files_here(), only_output);
}

TEST_F(ReplacedOutputTest, GivesTheTextToAnOutputThatAnotherFileReplacedMeanwhile) {
    const std::string text = long_text();
    write_file("out.h", on_disk(text));
    ReplacedOutput output("out.h", "out.h");
    EXPECT_TRUE(output.take(text.data(), text.size()));
    write_file("other.h", "other\n");
    if (std::rename("other.h", "out.h") != 0)
        GTEST_SKIP() << "this system renames nothing over an open file";
    EXPECT_TRUE(output.finish(true));
    EXPECT_TRUE(read_file("out.h") == on_disk(text));
    EXPECT_EQ(files_here(), only_output);
}
