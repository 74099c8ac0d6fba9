#include "volume_settings.h"

#include <gtest/gtest.h>

#include <string>

#include "section_pass.h"
#include "settings_test_fixture.h"

namespace {

using VolumeSettingsTest = SettingsPassTest;

TEST_F(VolumeSettingsTest, VolumeValueReadsStepsAndAbsoluteValues) {
    const struct {
        const char* text;
        int volume;
    } rows[] = {
        {"6", 47},
        {"12", 95},
        {"16", 127},
        {"0", 7},
        {"1", 7},
        {"40", 127},
        {"12 loud", 95},
        {"m0", 0},
        {"m64", 64},
        {"m300", 127},
        {"m64x", 64},
        {"m", -1},
        {"m-5", -1},
        {"m 5", -1},
        {"M40", -1},
        {"loud", -1},
        {"-3", -1},
        {"+3", -1},
        {"", -1},
        {" 6", -1},
        {"17", 127},
        {"m200", 127},
        {"m99999999999", 127},
        {"99999999999", 127},
        {"m007", 7},
    };
    for (const auto& row : rows)
        EXPECT_EQ(volume_value(entry(row.text)), row.volume) << row.text;
}

TEST_F(VolumeSettingsTest, ElseSetsEveryRankAndRankKeysOverrideIt) {
    runConfiguration.mapCount = 1;
    runConfiguration.volumeMaps = {section({{"else", "6"}, {"traps", "16"}, {"salicional", "m0"}})};
    EXPECT_EQ(apply_volume_settings(), 0);
    for (const RankRecord* r : ranks()) {
        int expected = r == &rank("Traps") ? 127 : r == &rank("Salicional") ? 0 : 47;
        EXPECT_EQ(r->volume, expected) << r->name;
    }
    EXPECT_EQ(error_count, 0);
}

TEST_F(VolumeSettingsTest, BadValuesAreReportedAndGiveVolumeZero) {
    auto bad_else = section({{"else", "foo"}});
    std::string err = stderr_of([&] { apply_volume_section(&bad_else); });
    EXPECT_EQ(err, "pravtweak 284 [volume]: bad else volume (foo).\n");
    for (const RankRecord* r : ranks())
        EXPECT_EQ(r->volume, 0) << r->name;

    reset_catalogue();
    find_model("Pipravox40X");
    auto bad_rank = section({{"clarinet", "loud"}});
    err = stderr_of([&] { apply_volume_section(&bad_rank); });
    EXPECT_EQ(err, "pravtweak 284 [volume]: bad clarinet volume (loud).\n");
    EXPECT_EQ(rank("Clarinet").volume, 0);
    EXPECT_EQ(rank("Orchestral Oboe").volume, 95);
    EXPECT_EQ(error_count, 2);
}

TEST_F(VolumeSettingsTest, KeysWithoutRankAreReportedAndChangeNothing) {
    // "Else" is only a default key in lower case; the empty key finds no rank.
    auto map = section({{"Flute 8", "3"}, {"Else", "6"}, {"", "6"}});
    set_section_name("volume", 1);
    std::string err = stderr_of([&] { apply_volume_section(&map); });
    EXPECT_EQ(err,
              "pravtweak 284 [volume]: didn't find rank .\n"
              "pravtweak 284 [volume]: didn't find rank Else.\n"
              "pravtweak 284 [volume]: didn't find rank Flute 8.\n");
    for (const RankRecord* r : ranks())
        EXPECT_EQ(r->volume, 95) << r->name;
    EXPECT_EQ(error_count, 3);
}

TEST_F(VolumeSettingsTest, LaterKeyInMapOrderWinsForTheSameRank) {
    auto map = section({{"tibia", "3"}, {"Tibia Clausa I", "5"}});
    apply_volume_section(&map);
    EXPECT_EQ(rank("Tibia Clausa I").volume, 23);
    EXPECT_EQ(rank("Tibia Clausa II").volume, 95);
}

TEST_F(VolumeSettingsTest, LaterSectionsOverrideAndNameThemselves) {
    runConfiguration.mapCount = 2;
    runConfiguration.volumeMaps = {section({{"traps", "16"}}),
                                   section({{"else", "10"}, {"kinura", "x"}})};
    std::string err = stderr_of([] { apply_volume_settings(); });
    EXPECT_EQ(err, "pravtweak 284 [volume2]: bad kinura volume (x).\n");
    EXPECT_EQ(rank("Traps").volume, 79);
    EXPECT_EQ(rank("Flute").volume, 79);
    EXPECT_EQ(rank("Kinura").volume, 0);
    EXPECT_EQ(current_section, "volume2");
}

TEST_F(VolumeSettingsTest, SectionsAboveMapCountOrNeverLoadedAreNotRead) {
    runConfiguration.mapCount = 1;
    runConfiguration.volumeMaps = {section({}), section({{"else", "bad"}})};
    EXPECT_EQ(apply_volume_settings(), 0);
    runConfiguration.mapCount = 3;
    runConfiguration.volumeMaps.clear();
    EXPECT_EQ(apply_volume_settings(), 0);
    EXPECT_EQ(apply_volume_section(nullptr), 0);
    EXPECT_EQ(rank("Flute").volume, 95);
    EXPECT_EQ(error_count, 0);
}

}  // namespace
