#include "soundfont_settings.h"

#include <gtest/gtest.h>

#include <string>

#include "section_pass.h"
#include "settings_test_fixture.h"

namespace {

using SoundfontSettingsTest = SettingsPassTest;

TEST_F(SoundfontSettingsTest, ReadPatchSpecTakesTwoOrThreeNumbers) {
    const struct {
        const char* text;
        int count;
        int32_t first, second, third;
    } rows[] = {
        {"29,94,44", 3, 29, 94, 44},    {"50,0", 2, 50, 0, -9},
        {" 25 , 51 , 1", 3, 25, 51, 1}, {"25,51,1,7", 3, 25, 51, 1},
        {"50,0,x", 2, 50, 0, -9},       {"50,0,-1", 2, 50, 0, -9},
        {"x,5", 2, 0, 5, -9},           {"-3,5", 2, -3, 5, -9},
        {"1,\t2", 2, 1, 2, -9},         {"-99999999999,2,99999999999", 3, INT32_MIN, 2, INT32_MAX},
        {"50", -1, -9, -9, -9},         {"50,x", -1, -9, -9, -9},
        {"50,-1", -1, -9, -9, -9},      {"50,", -1, -9, -9, -9},
        {"50,   ", -1, -9, -9, -9},     {"foo", -1, -9, -9, -9},
        {"", -1, -9, -9, -9},           {"   ", -1, -9, -9, -9},
    };
    for (const auto& row : rows) {
        int32_t first = -9, second = -9, third = -9;
        EXPECT_EQ(read_patch_spec(row.text, first, second, third), row.count) << row.text;
        EXPECT_EQ(first, row.first) << row.text;
        EXPECT_EQ(second, row.second) << row.text;
        EXPECT_EQ(third, row.third) << row.text;
    }
}

TEST_F(SoundfontSettingsTest, NextNumberFieldStopsAfterCommaAndBlanks) {
    const struct {
        const char* text;
        bool found;
        const char* rest;
    } rows[] = {
        {"12,34", true, "34"}, {"12 junk, 7,8", true, "7,8"},
        {"12", false, ""},     {"1,+2", false, "+2"},
        {"1,", false, ""},     {"1, x", false, "x"},
    };
    for (const auto& row : rows) {
        const char* p = row.text;
        EXPECT_EQ(next_number_field(&p), row.found) << row.text;
        EXPECT_STREQ(p, row.rest) << row.text;
    }
}

TEST_F(SoundfontSettingsTest, TwoNumbersTakeTheSectionsBank) {
    auto map = section({{"bank", "30"}, {"trumpet", "50,0"}, {"flute", "29,94,44"}});
    apply_soundfont_section(&map);
    EXPECT_EQ(rank("Trumpet").bank, 30);
    EXPECT_EQ(rank("Trumpet").patch1, 50);
    EXPECT_EQ(rank("Trumpet").patch2, 0);
    EXPECT_EQ(rank("Flute").bank, 29);
    EXPECT_EQ(rank("Flute").patch1, 94);
    EXPECT_EQ(rank("Flute").patch2, 44);
    EXPECT_EQ(rank("Clarinet").bank, 25);
    EXPECT_EQ(error_count, 0);

    auto no_number = section({{"bank", "foo"}, {"Trumpet", "1,2"}});
    apply_soundfont_section(&no_number);
    EXPECT_EQ(rank("Trumpet").patch1, 1);
    EXPECT_EQ(rank("Trumpet").bank, 0);
    EXPECT_EQ(error_count, 0);
}

TEST_F(SoundfontSettingsTest, BadValuesAreReportedAndLeaveTheRank) {
    set_section_name("soundfont", 1);
    // "Bank" is passed over and is no default; a bank of -1 means none.
    auto map = section({{"Bank", "30"},
                        {"bank", "-1"},
                        {"clarinet", "foo"},
                        {"trumpet", "50,0"},
                        {"Kinura", "50"},
                        {"Flute 8", "1,2,3"}});
    std::string err = stderr_of([&] { apply_soundfont_section(&map); });
    EXPECT_EQ(err,
              "pravtweak 284 [soundfont]: didn't find rank Flute 8.\n"
              "pravtweak 284 [soundfont]: something wrong in \"Kinura=50\"\n"
              "pravtweak 284 [soundfont]: something wrong in \"clarinet=foo\"\n"
              "pravtweak 284 [soundfont]: missing bank= for Trumpet=\n");
    EXPECT_EQ(error_count, 4);
    EXPECT_EQ(rank("Trumpet").bank, 25);
    EXPECT_EQ(rank("Trumpet").patch1, 51);
    EXPECT_EQ(rank("Trumpet").patch2, 1);
    EXPECT_EQ(rank("Clarinet").patch1, 82);
    EXPECT_EQ(rank("Kinura").patch1, 84);
}

TEST_F(SoundfontSettingsTest, BankServesOnlyItsOwnSection) {
    runConfiguration.mapCount = 2;
    runConfiguration.soundfontMaps = {section({{"bank", "30"}}), section({{"trumpet", "50,0"}})};
    std::string err = stderr_of([] { apply_soundfont_settings(); });
    EXPECT_EQ(err, "pravtweak 284 [soundfont2]: missing bank= for Trumpet=\n");
    EXPECT_EQ(rank("Trumpet").bank, 25);
    EXPECT_EQ(rank("Trumpet").patch1, 51);
}

}  // namespace
