#include "text.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

class TextTest : public testing::Test {};

TEST_F(TextTest, FindNocaseFindsFirstOccurrenceWithinText) {
    struct Row {
        const char *text, *pattern;
        int offset;  // -1: nothing found
    } rows[] = {{"Harmonic Tuba", "tuba", 9},
                {"xaAB", "ab", 2},
                {"", "", -1},
                {"abc", "", -1},
                {"tub", "tuba", -1}};
    for (const Row& row : rows) {
        const char* found = find_nocase(row.text, row.pattern);
        EXPECT_EQ(found ? found - row.text : -1, row.offset) << row.text << " / " << row.pattern;
    }
}

TEST_F(TextTest, SkipBlanksStopsOnLineFeedEndOrOtherCharacter) {
    struct Row {
        const char* text;
        int stop;
        bool rest_empty;
    } rows[] = {{"   ", 3, true},        {"  x", 2, false},  {" \n", 1, true},
                {"\t\r\x1fy", 3, false}, {"\x80", 0, false}, {"", 0, true}};
    for (const Row& row : rows) {
        const char* cursor = row.text;
        EXPECT_EQ(skip_blanks(&cursor), row.rest_empty) << row.text;
        EXPECT_EQ(cursor - row.text, row.stop) << row.text;
    }
}

TEST_F(TextTest, ReadDecimalSaturatesToThirtyTwoBits) {
    struct Row {
        const char* text;
        int32_t value;
        int used;
    } rows[] = {{"2147483647", INT32_MAX, 10},
                {"2147483648", INT32_MAX, 10},
                {"-2147483648", INT32_MIN, 11},
                {"-99999999999999999999", INT32_MIN, 21},
                {"0000000000000000000012", 12, 22},
                {"+7x", 7, 2},
                {"0x1F", 0, 1},
                {"-", 0, 0},
                {" 5", 0, 0}};
    for (const Row& row : rows) {
        const char* end = nullptr;
        EXPECT_EQ(read_decimal(row.text, &end), row.value) << row.text;
        EXPECT_EQ(end - row.text, row.used) << row.text;
    }
}

}  // namespace
