#include "append.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using protoglean::append_format;

TEST(AppendFormat, KeepsBufferBelowItsSize) {
    struct Row {
        const char* before;
        size_t size;
        const char* piece;
        const char* after;
        size_t appended;
    };
    const Row rows[] = {
        {"", 10, "abc", "abc", 3},
        {"abcdefg", 10, "xyz", "abcdefgxy", 2},
        {"abcdefghi", 10, "x", "abcdefghi", 0},
        {"abc", 2, "x", "abc", 0},
        {"", 2, "xy", "x", 1},
        {"", 1, "x", "", 0},
        {"", 0, "x", "", 0},
        {"ab", 10, "", "ab", 0},
    };
    for (const Row& row : rows) {
        char buffer[32];
        strcpy(buffer, row.before);
        size_t appended = append_format(buffer, row.size, "%s", row.piece);
        EXPECT_EQ(appended, row.appended) << row.before << " + " << row.piece;
        EXPECT_STREQ(buffer, row.after) << row.before << " + " << row.piece;
    }
}

TEST(AppendFormat, CutsAFormattedPieceAtNinetyNineCharacters) {
    char buffer[300] = "";
    std::string piece(150, 'p');
    EXPECT_EQ(append_format(buffer, sizeof buffer, "%s", piece.c_str()), 99u);
    EXPECT_EQ(strlen(buffer), 99u);
}
