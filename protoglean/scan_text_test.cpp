#include "scan_text.h"

#include <gtest/gtest.h>

#include <string>

using protoglean::is_marker;
using protoglean::ordinary_run;
using protoglean::skip_blanks;

TEST(IsMarker, NeedsLowerCaseFOrVAndABlankAfter) {
    struct Row {
        const char* text;
        bool marker;
    };
    const Row rows[] = {
        {"_f int f()", true}, {"_v int x", true},    {"_f\tint", true},   {"_v\r", true},
        {"_f\v", true},       {"_F int f()", false}, {"_V int x", false}, {"_fint", false},
        {"_f(", false},       {"_f", false},         {"_", false},        {"", false},
        {" _f x", false},     {"__f x", false},      {"_g x", false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(is_marker(row.text), row.marker) << row.text;
}

TEST(SkipBlanks, SkipsIsspaceCharactersButStopsAtLineFeed) {
    struct Row {
        const char* text;
        size_t stop;
        bool line_used_up;
    };
    const Row rows[] = {
        {"  x", 2, false},        {"", 0, true},       {"   ", 3, true},    {" \n x", 1, true},
        {"\t\v\f\r x", 5, false}, {"\x01x", 0, false}, {"\xa0x", 0, false},
    };
    for (const Row& row : rows) {
        const char* cursor = row.text;
        EXPECT_EQ(skip_blanks(&cursor), row.line_used_up) << row.text;
        EXPECT_EQ(static_cast<size_t>(cursor - row.text), row.stop) << row.text;
    }
}

TEST(OrdinaryRun, EndsAtTheFirstStopByteWhereverItStands) {
    // Every byte value at every place of the vector lanes and of the tail
    // after them.
    const std::string stops("\0()=;{[", 7);
    for (unsigned value = 0; value < 256; ++value) {
        const char c = static_cast<char>(value);
        const bool stop = stops.find(c) != std::string::npos;
        for (size_t at = 0; at < 40; ++at) {
            std::string text(40, 'a');
            text[at] = c;
            EXPECT_EQ(ordinary_run(text.data(), text.size()), stop ? at : text.size())
                << value << " at " << at;
            EXPECT_EQ(ordinary_run(text.data(), at), at) << value << " at " << at;
        }
    }
}
