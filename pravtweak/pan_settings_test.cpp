#include "pan_settings.h"

#include <gtest/gtest.h>

#include <string>

#include "section_pass.h"
#include "settings_test_fixture.h"

namespace {

using PanSettingsTest = SettingsPassTest;

TEST_F(PanSettingsTest, PanValueOfRankKeysNeedsSideLetterOrM) {
    const struct {
        const char* text;
        int pan;
    } rows[] = {
        {"C", 64},
        {"center", 64},
        {"c 7", 64},
        {"L4", 32},
        {"L 4", 32},
        {"left 2", 48},
        {"R 3", 88},
        {"Right 2", 80},
        {"R8", 127},
        {"L8", 0},
        {"Lm40", 40},
        {"Rm40", 88},
        {"Rm100", 100},
        {"mm40", 40},
        {"m3", 40},
        {"m40", -1},
        {"3", -1},
        {"L9", -1},
        {"L0", -1},
        {"L", -1},
        {"R", -1},
        {"X4", -1},
        {"", -1},
        {"   ", -1},
        {"M3", -1},
        {"-L3", -1},
        {"L99999999999", -1},
        {"Lm99999999999", 127},
        {"Rm-5", 127},
        {"Lm", 0},
    };
    for (const auto& row : rows)
        EXPECT_EQ(pan_value(entry(row.text), false), row.pan) << row.text;
}

TEST_F(PanSettingsTest, PlainPanValuePassesOverSideLetters) {
    const struct {
        const char* text;
        int pan;
    } rows[] = {
        {"2", 48},  {"L2", 48},    {"R 2", 48}, {"8", 0},  {"m100", 100}, {"m 90", 90},
        {"m-5", 0}, {"m300", 127}, {"foo", -1}, {"9", -1}, {"0", -1},     {"", -1},
    };
    for (const auto& row : rows)
        EXPECT_EQ(pan_value(entry(row.text), true), row.pan) << row.text;
}

TEST_F(PanSettingsTest, MirrorPanAndSideFollowTheCentre) {
    const struct {
        int pan, mirrored;
        PanSide side;
    } rows[] = {
        {-1, -1, PanSide::left},    {0, 127, PanSide::left},  {1, 127, PanSide::left},
        {8, 120, PanSide::left},    {56, 72, PanSide::left},  {63, 65, PanSide::left},
        {64, 64, PanSide::centre},  {65, 65, PanSide::right}, {127, 127, PanSide::right},
        {200, 127, PanSide::right}, {-7, 127, PanSide::left},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(mirror_pan(row.pan), row.mirrored) << row.pan;
        EXPECT_EQ(pan_side(row.pan), row.side) << row.pan;
    }
}

TEST_F(PanSettingsTest, RankKeysSetTheirRanks) {
    auto map = section({{"Flute", "C"}, {"Diaphonic Diapason", "L4"}, {"Harmonic Tuba", "R 3"}});
    apply_pan_section(&map);
    EXPECT_EQ(rank("Flute").pan, 64);
    EXPECT_EQ(rank("Diaphonic Diapason").pan, 32);
    EXPECT_EQ(rank("Harmonic Tuba").pan, 88);
    EXPECT_EQ(rank("Viol d'Orchestre").pan, 16);
    EXPECT_EQ(error_count, 0);
}

TEST_F(PanSettingsTest, DefaultsMoveEachSideAndLeaveCentredRanks) {
    const struct {
        const char* else_value;
        const char* left_value;
        const char* right_value;
        int left, right;
    } rows[] = {
        {"7", nullptr, nullptr, 8, 120},    {nullptr, "2", nullptr, 48, 112},
        {nullptr, nullptr, "2", 16, 80},    {"2", "foo", nullptr, 16, 80},
        {"8", nullptr, nullptr, 0, 127},    {"m100", nullptr, nullptr, 100, 100},
        {"foo", nullptr, nullptr, 16, 112}, {"3", "L5", "1", 24, 72},
    };
    for (const auto& row : rows) {
        reset_catalogue();
        find_model("Pipravox40X");
        // Default keys in other letter cases never count.
        auto map = section({{"Left", "2"}, {"RIGHT", "2"}});
        auto put = [&map](const char* key, const char* value) {
            if (value)
                map[key] = {value, qIni_space::leadingInt(value)};
        };
        put("else", row.else_value);
        put("left", row.left_value);
        put("right", row.right_value);
        apply_pan_section(&map);
        const int row_number = static_cast<int>(&row - rows);
        EXPECT_EQ(rank("Flute").pan, row.left) << "row " << row_number;
        EXPECT_EQ(rank("Vox Humana").pan, row.right) << "row " << row_number;
        EXPECT_EQ(rank("Piano").pan, 64);
    }
    EXPECT_EQ(error_count, 0);
}

TEST_F(PanSettingsTest, CapitalisedDefaultKeysArePassedOverSilently) {
    auto map = section({{"Left", "2"}, {"ELSE", "3"}, {"Right", "x"}});
    std::string err = stderr_of([&] { apply_pan_section(&map); });
    EXPECT_EQ(err, "");
    EXPECT_EQ(rank("Flute").pan, 16);
    EXPECT_EQ(rank("Vox Humana").pan, 112);
}

TEST_F(PanSettingsTest, BadRankValuesAreReportedWithTheRanksFullName) {
    set_section_name("pan", 1);
    auto map = section({{"Tuba", "L9"}, {"Kinura", "3"}, {"Flute 8", "C"}, {"clarinet", "R"}});
    std::string err = stderr_of([&] { apply_pan_section(&map); });
    EXPECT_EQ(err,
              "pravtweak 284 [pan]: didn't find rank Flute 8.\n"
              "pravtweak 284 [pan]; bad spec for \"Kinura\": \"3\".\n"
              "pravtweak 284 [pan]; bad spec for \"Harmonic Tuba\": \"L9\".\n"
              "pravtweak 284 [pan]; bad spec for \"Clarinet\": \"R\".\n");
    EXPECT_EQ(error_count, 4);
    EXPECT_EQ(rank("Harmonic Tuba").pan, 16);
    EXPECT_EQ(rank("Kinura").pan, 112);
    EXPECT_EQ(rank("Clarinet").pan, 16);
}

TEST_F(PanSettingsTest, RankKeysWinOverDefaultsAndLaterSectionsSpareCentredRanks) {
    auto map = section({{"else", "8"}, {"Clarinet", "L1"}});
    apply_pan_section(&map);
    EXPECT_EQ(rank("Clarinet").pan, 56);

    reset_catalogue();
    find_model("Pipravox40X");
    runConfiguration.mapCount = 2;
    runConfiguration.panMaps = {section({{"Flute", "C"}}), section({{"else", "3"}})};
    EXPECT_EQ(apply_pan_settings(), 0);
    EXPECT_EQ(rank("Flute").pan, 64);
    EXPECT_EQ(rank("Diaphonic Diapason").pan, 40);
    EXPECT_EQ(rank("Vox Humana").pan, 88);
    EXPECT_EQ(current_section, "pan2");
    EXPECT_EQ(rank("Harmonic Tuba").pan, 40);
    EXPECT_EQ(rank("Traps").pan, 88);
}

}  // namespace
