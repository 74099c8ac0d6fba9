#include "files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform.h"
#include "test_support.h"

namespace {

class FilesTest : public testing::Test {
  protected:
    void SetUp() override { reset_temp_template(); }
    void TearDown() override { reset_temp_template(); }
    ScratchDir scratch;
};

TEST_F(FilesTest, SplitPathTakesExtensionFromLastComponentOnly) {
    // Drive|directory|base|extension. Windows reads "\" and "c:"; POSIX
    // takes both as part of a name.
    struct Row {
        const char *path, *posix, *windows;
    } rows[] = {
        {"a.b.xml", "||a.b|.xml", "||a.b|.xml"},
        {"ranks", "||ranks|", "||ranks|"},
        {"dir.d/ranks", "|dir.d/|ranks|", "|dir.d/|ranks|"},
        {"c:\\organ\\ranks.xml", "||c:\\organ\\ranks|.xml", "c:|\\organ\\|ranks|.xml"},
        {"c:\\organ.d\\ranks", "||c:\\organ|.d\\ranks", "c:|\\organ.d\\|ranks|"},
    };
    for (const Row& row : rows) {
        PathParts p = split_path(row.path);
        EXPECT_EQ(p.drive + "|" + p.directory + "|" + p.base + "|" + p.extension,
                  platform::is_separator('\\') ? row.windows : row.posix);
        EXPECT_EQ(backup_path(row.path), p.drive + p.directory + p.base + ".b~k");
    }
}

TEST_F(FilesTest, BumpTempNameCountsLikeOdometerAndWraps) {
    for (int i = 0; i < 26; ++i)
        ASSERT_EQ(bump_temp_name(), 0);
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
    char* names[] = {new_temp_file(), make_temp_file(".tmp"), make_temp_file(nullptr)};
    EXPECT_STREQ(names[0], "AAAAAAC~.Q~V");
    EXPECT_STREQ(names[1], "AAAAAAC~.tmp");  // a new extension keeps the letters
    EXPECT_STREQ(names[2], "AAAAAAD~.tmp");
    for (char* name : names) {
        EXPECT_TRUE(std::filesystem::is_regular_file(name));
        EXPECT_EQ(read_file(name), "");
    }
    EXPECT_EQ(read_file("AAAAAAA~.Q~V"), "taken");
}

TEST_F(FilesTest, BackupNameDeletesOldBackupFileButNeverDirectory) {
    write_file("ranks.b~k", "old");
    std::filesystem::create_directory("organ.b~k");
    char* names[] = {backup_name("ranks.xml"), backup_name("organ.xml")};
    EXPECT_STREQ(names[0], "ranks.b~k");
    EXPECT_FALSE(file_exists("ranks.b~k"));
    EXPECT_STREQ(names[1], "organ.b~k");
    EXPECT_TRUE(std::filesystem::is_directory("organ.b~k"));
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
        EXPECT_TRUE(is_date_stamp(row.stamp)) << row.stamp;
    }
    // What a user may have written into the comment line is no stamp.
    for (const char* text : {"", "Sunday", "Sunday 12/20/15 9:05", "Sunday 12/20/2015 9:05 pm",
                             "sunday 12/20/15 9:05 pm", "Sunday 12/20/15 9:5 pm",
                             "Sunday 12/20/15 9:05 pm tuned", "Someday 1/1/00 0:30 am"})
        EXPECT_FALSE(is_date_stamp(text)) << text;
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
