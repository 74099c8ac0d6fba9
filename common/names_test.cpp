#include "names.h"

#include <gtest/gtest.h>

namespace {

TEST(NamesTest, Utf8IsTakenOnlyWhenWellFormed) {
    const char* utf8[] = {"", "organ.xml", "Cavaill\xC3\xA9 \xE2\x9D\x84", "\xF0\x9F\x8E\xB9"};
    const char* other[] = {
        "caf\xE9.xml",       // Latin-1
        "\xE2\x9D.xml",      // cut short
        "\x80",              // a continuation byte alone
        "\xC0\xAF",          // overlong "/"
        "\xED\xA0\x80",      // a UTF-16 surrogate
        "\xF4\x90\x80\x80",  // above U+10FFFF
    };
    for (const char* bytes : utf8)
        EXPECT_TRUE(is_valid_utf8(bytes)) << bytes;
    for (const char* bytes : other)
        EXPECT_FALSE(is_valid_utf8(bytes)) << bytes;
}

TEST(NamesTest, LongPathFormPrefixesDriveAndNetworkPaths) {
    struct Row {
        const wchar_t *path, *form;
    } rows[] = {
        {L"z:/tmp\\organ.xml", L"\\\\?\\z:\\tmp\\organ.xml"},
        {L"//server/share/o.xml", L"\\\\?\\UNC\\server\\share\\o.xml"},
        {L"\\\\?\\C:\\o.xml", L"\\\\?\\C:\\o.xml"},
        {L"\\\\.\\NUL", L"\\\\.\\NUL"},
        {L"organ.xml", L"organ.xml"},
        {L"C:organ.xml", L"C:organ.xml"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(long_path_form(row.path), row.form);
}

}  // namespace
