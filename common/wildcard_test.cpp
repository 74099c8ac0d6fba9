#include "wildcard.h"

#include <gtest/gtest.h>

namespace {

class WildcardTest : public testing::Test {};

TEST_F(WildcardTest, StarMatchesAnyRunAndQuestionMarkOneCharacter) {
    struct Row {
        const char *pattern, *name;
        bool match;
    } rows[] = {{"*", "", true},
                {"?", "", false},
                {"a?c", "abc", true},
                {"*.xml", "organ.xml", true},
                {"*.xml", "organ.xmlx", false},
                {"*ab", "aab", true},
                {"a*b*c", "aXbYbZc", true},
                {"a*", "", false},
                {"**?", "x", true},
                {"A*", "a", false}};
    for (const Row& row : rows)
        EXPECT_EQ(wildcard_match(row.pattern, row.name), row.match)
            << row.pattern << " / " << row.name;
}

}  // namespace
