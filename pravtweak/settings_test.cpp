#include "settings.h"

#include <gtest/gtest.h>

#include <string>

#include "pan_settings.h"
#include "settings_test_fixture.h"
#include "soundfont_settings.h"
#include "volume_settings.h"

namespace {

using SettingsTest = SettingsPassTest;

TEST_F(SettingsTest, SectionNameAddsTheMapNumberFromTwoOn) {
    const struct {
        const char* base;
        int32_t number;
        const char* name;
    } rows[] = {{"volume", 1, "volume"},
                {"volume", 2, "volume2"},
                {"pan", 3, "pan3"},
                {"soundfont", 12, "soundfont12"},
                {"pan", 99, "pan99"}};
    for (const auto& row : rows) {
        set_section_name(row.base, row.number);
        EXPECT_EQ(current_section, row.name);
    }
}

TEST_F(SettingsTest, AllSettingsRunVolumeThenPanThenSoundfont) {
    runConfiguration.mapCount = 1;
    runConfiguration.volumeMaps = {section({{"Flute 8", "1"}})};
    runConfiguration.panMaps = {section({{"Flute 8", "C"}, {"flute", "C"}})};
    runConfiguration.soundfontMaps = {section({{"Flute 8", "1,2"}})};
    std::string err = stderr_of([] { EXPECT_EQ(apply_all_settings(), 0); });
    EXPECT_EQ(err,
              "pravtweak 284 [volume]: didn't find rank Flute 8.\n"
              "pravtweak 284 [pan]: didn't find rank Flute 8.\n"
              "pravtweak 284 [soundfont]: didn't find rank Flute 8.\n");
    EXPECT_EQ(error_count, 3);
    EXPECT_EQ(rank("Flute").pan, 64);
    EXPECT_EQ(current_section, "soundfont");
}

// Values of any bytes, of any length up to what the INI model keeps, give a
// result in range or the invalid mark, and whole sections of them only report.
TEST_F(SettingsTest, GarbageValuesNeverLeaveTheirRange) {
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 16;
    };
    const char alphabet[] = "0123456789mMlLrRcC+-, \t9";
    qIni_space::INIMAP map;
    for (int i = 0; i < 400; ++i) {
        std::string text;
        size_t length = i == 0 ? 1000 : next() % 40;
        for (size_t k = 0; k < length; ++k) {
            unsigned r = next();
            text += (r & 1) ? alphabet[r % (sizeof alphabet - 1)]
                            : static_cast<char>(1 + (r >> 1) % 255);
        }
        auto e = entry(text);
        int v = volume_value(e);
        EXPECT_TRUE(v == -1 || (v >= 0 && v <= 127)) << v;
        for (bool plain : {true, false}) {
            int p = pan_value(e, plain);
            EXPECT_TRUE(p == -1 || (p >= 0 && p <= 127)) << p;
        }
        int32_t a, b, c;
        int n = read_patch_spec(text.c_str(), a, b, c);
        EXPECT_TRUE(n == -1 || n == 2 || n == 3) << n;
        map.emplace("rank" + std::to_string(i), e.second);
        map.emplace(text.substr(0, 8), e.second);
    }
    map.emplace("else", entry(std::string(1000, '9')).second);
    runConfiguration.mapCount = 1;
    runConfiguration.volumeMaps = {map};
    runConfiguration.panMaps = {map};
    runConfiguration.soundfontMaps = {map};
    stderr_of([] { EXPECT_EQ(apply_all_settings(), 0); });
    EXPECT_GT(error_count, 0);
    for (const RankRecord* r : ranks()) {
        EXPECT_GE(r->volume, 0);
        EXPECT_LE(r->volume, 127);
        EXPECT_GE(r->pan, 0);
        EXPECT_LE(r->pan, 127);
    }
}

}  // namespace
