#include "platform.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "test_support.h"

namespace {

class PlatformTest : public testing::Test {
  protected:
    ScratchDir scratch;
};

TEST_F(PlatformTest, StampsTellFilesApartAndSeeChanges) {
    write_file("a", "one");
    write_file("b", "one");
    std::filesystem::create_directory("d");
    platform::FileStamp a, a_stream, b, d;
    ASSERT_TRUE(platform::stamp_of("a", a));
    ASSERT_TRUE(platform::stamp_of("b", b));
    ASSERT_TRUE(platform::stamp_of("d", d));
    EXPECT_FALSE(platform::stamp_of("missing", d));
    FILE* f = fopen("a", "ab");
    ASSERT_NE(f, nullptr);
    ASSERT_TRUE(platform::stamp_of(f, a_stream));
    EXPECT_TRUE(platform::same_file(a, a_stream));
    EXPECT_FALSE(platform::same_file(a, b));
    EXPECT_TRUE(a.regular);
    EXPECT_FALSE(d.regular);
    EXPECT_EQ(a.size, 3u);

    fputs("more", f);
    fclose(f);
    platform::FileStamp grown;
    ASSERT_TRUE(platform::stamp_of("a", grown));
    EXPECT_TRUE(platform::same_file(a, grown));
    EXPECT_EQ(grown.size, 7u);
}

}  // namespace
