#include "names.h"

#include <gtest/gtest.h>

namespace {

TEST(NamesTest, Utf8IsTakenOnlyWhenWellFormed) {
    struct Row {
        const char* bytes;
        bool utf8;
    } rows[] = {
        {"", true},
        {"organ.xml", true},
        {"Orgue Cavaill\xC3\xA9-Coll \xE2\x9D\x84.xml", true},       // é, snowflake
        {"\xCE\x8C\xCF\x81\xCE\xB3\xCE\xB1\xCE\xBD\xCE\xBF", true},  // Greek
        {"\xE7\xAE\xA1\xE9\xA3\x8E\xE7\x90\xB4", true},              // CJK
        {"\xF0\x9F\x8E\xB9", true},                                  // U+1F3B9
        {"\xF4\x8F\xBF\xBF", true},                                  // U+10FFFF
        {"caf\xE9.xml", false},                                      // Latin-1
        {"\xE9t\xE9", false},
        {"\xC3", false},              // cut short at the end
        {"\xE2\x9D.xml", false},      // cut short before more text
        {"\x80", false},              // a continuation byte alone
        {"\xC0\xAF", false},          // overlong "/"
        {"\xE0\x80\xAF", false},      // overlong "/"
        {"\xF0\x80\x80\xAF", false},  // overlong "/"
        {"\xED\xA0\x80", false},      // a UTF-16 surrogate
        {"\xF4\x90\x80\x80", false},  // above U+10FFFF
        {"\xF5\x80\x80\x80", false},
        {"\xFF", false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(is_valid_utf8(row.bytes), row.utf8) << row.bytes;
}

TEST(NamesTest, LongPathFormPrefixesDriveAndNetworkPaths) {
    struct Row {
        const wchar_t *path, *form;
    } rows[] = {
        {L"C:\\organ\\organ.xml", L"\\\\?\\C:\\organ\\organ.xml"},
        {L"z:/tmp/organ.xml", L"\\\\?\\z:\\tmp\\organ.xml"},
        {L"\\\\server\\share\\organ.xml", L"\\\\?\\UNC\\server\\share\\organ.xml"},
        {L"//server/share/organ.xml", L"\\\\?\\UNC\\server\\share\\organ.xml"},
        {L"\\\\?\\C:\\organ.xml", L"\\\\?\\C:\\organ.xml"},
        {L"\\\\?\\UNC\\server\\share", L"\\\\?\\UNC\\server\\share"},
        {L"\\\\.\\NUL", L"\\\\.\\NUL"},
        {L"organ.xml", L"organ.xml"},
        {L"C:organ.xml", L"C:organ.xml"},
        {L"\\organ.xml", L"\\organ.xml"},
        {L"", L""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(long_path_form(row.path), row.form);
}

}  // namespace
