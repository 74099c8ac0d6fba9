#include "files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform.h"
#include "test_scratch.h"

namespace {

class FilesTest : public testing::Test {
  protected:
    void SetUp() override { reset_temp_template(); }
    void TearDown() override { reset_temp_template(); }
    // Windows reads "\" and "c:"; POSIX takes both as part of a name.
    const bool windows_paths = platform::is_separator('\\');
    ScratchDir scratch;
};

TEST_F(FilesTest, SplitPathTakesExtensionFromLastComponentOnly) {
    struct Row {
        const char* path;
        PathParts posix, windows;
    } rows[] = {
        {"a.b.xml", {"", "", "a.b", ".xml"}, {"", "", "a.b", ".xml"}},
        {"ranks", {"", "", "ranks", ""}, {"", "", "ranks", ""}},
        {"dir.d/ranks", {"", "dir.d/", "ranks", ""}, {"", "dir.d/", "ranks", ""}},
        {"c:\\organ\\ranks.xml",
         {"", "", "c:\\organ\\ranks", ".xml"},
         {"c:", "\\organ\\", "ranks", ".xml"}},
        {"c:\\organ.d\\ranks",
         {"", "", "c:\\organ", ".d\\ranks"},
         {"c:", "\\organ.d\\", "ranks", ""}},
    };
    for (const Row& row : rows) {
        const PathParts& want = windows_paths ? row.windows : row.posix;
        PathParts got = split_path(row.path);
        EXPECT_EQ(got.drive, want.drive) << row.path;
        EXPECT_EQ(got.directory, want.directory) << row.path;
        EXPECT_EQ(got.base, want.base) << row.path;
        EXPECT_EQ(got.extension, want.extension) << row.path;
        EXPECT_EQ(backup_path(row.path), want.drive + want.directory + want.base + ".b~k");
    }
}

TEST_F(FilesTest, BumpTempNameCountsLikeOdometerAndWraps) {
    for (int i = 0; i < 25; ++i)
        ASSERT_EQ(bump_temp_name(), 0);
    EXPECT_STREQ(temp_template(), "AAAAAAZ~.Q~V");
    EXPECT_EQ(bump_temp_name(), 0);
    EXPECT_STREQ(temp_template(), "AAAAABA~.Q~V");
    reset_temp_template("ZZZZZZY~.Q~V");
    EXPECT_EQ(bump_temp_name(), 0);
    EXPECT_STREQ(temp_template(), "ZZZZZZZ~.Q~V");
    EXPECT_EQ(bump_temp_name(), -1);
    EXPECT_STREQ(temp_template(), "AAAAAAA~.Q~V");
}

TEST_F(FilesTest, TempFileSkipsTakenNamesAndDirectories) {
    write_file("AAAAAAA~.Q~V", "taken");
    std::filesystem::create_directory("AAAAAAB~.Q~V");
    char* first = new_temp_file();
    EXPECT_STREQ(first, "AAAAAAC~.Q~V");
    EXPECT_EQ(read_file(first), "");
    EXPECT_EQ(read_file("AAAAAAA~.Q~V"), "taken");
    // The template stays on the last name: a new extension keeps the letters.
    char* second = make_temp_file(".tmp");
    EXPECT_STREQ(second, "AAAAAAC~.tmp");
    char* third = make_temp_file(nullptr);
    EXPECT_STREQ(third, "AAAAAAD~.tmp");
    EXPECT_TRUE(file_exists(third));
    free(first);
    free(second);
    free(third);
}

TEST_F(FilesTest, BackupNameDeletesOldBackupFileButNeverDirectory) {
    write_file("ranks.b~k", "old");
    char* name = backup_name("ranks.xml");
    EXPECT_STREQ(name, "ranks.b~k");
    EXPECT_FALSE(file_exists("ranks.b~k"));
    free(name);

    std::filesystem::create_directory("organ.b~k");
    name = backup_name("organ.xml");
    EXPECT_STREQ(name, "organ.b~k");
    EXPECT_TRUE(std::filesystem::is_directory("organ.b~k"));
    free(name);
}

TEST_F(FilesTest, DateStampUsesTwelveHourClockAndTwoDigitYear) {
    struct Row {
        int wday, year, month, day, hour, minute;
        const char* stamp;
    } rows[] = {
        {0, 2015, 12, 20, 21, 5, "Sunday 12/20/15 9:05 pm"},
        {6, 2000, 1, 1, 0, 30, "Saturday 1/1/00 0:30 am"},
        {5, 2100, 1, 1, 12, 0, "Friday 1/1/00 12:00 pm"},
        {3, 2023, 9, 6, 11, 59, "Wednesday 9/6/23 11:59 am"},
        {3, 1999, 12, 29, 12, 59, "Wednesday 12/29/99 12:59 pm"},
        {1, 2024, 3, 4, 13, 0, "Monday 3/4/24 1:00 pm"},
    };
    for (const Row& row : rows) {
        std::tm time{};
        time.tm_wday = row.wday;
        time.tm_year = row.year - 1900;
        time.tm_mon = row.month - 1;
        time.tm_mday = row.day;
        time.tm_hour = row.hour;
        time.tm_min = row.minute;
        EXPECT_EQ(format_date_stamp(time), row.stamp);
    }
    EXPECT_LE(std::string(date_stamp()).size(), 27u);
}

// No scratch directory: a death test's child would leave its own behind.
TEST(FilesDeathTest, CheckedFopenEndsWithStatus3ForMissingFileOrDirectory) {
    FILE* f = nullptr;
    EXPECT_EXIT(checked_fopen(&f, "no-such-dir/missing.xml", "r"), testing::ExitedWithCode(3),
                "^couldn't open no-such-dir/missing\\.xml for r\\.$");
    EXPECT_EXIT(checked_fopen(&f, ".", "r"), testing::ExitedWithCode(3),
                "^couldn't open \\. for r\\.$");
}

}  // namespace
