#include "run_configuration.h"

#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace {

class RunConfigurationTest : public testing::Test {
  protected:
    void SetUp() override { runConfiguration = RunConfiguration{}; }
    const RunConfiguration& load(const std::string& text) {
        runConfiguration = RunConfiguration{};
        write_file("run.ini", text);
        setIniPath("run.ini");
        loadRunConfiguration();
        return runConfiguration;
    }
    static void expectSlots(const RunConfiguration& rc, size_t count) {
        EXPECT_EQ(rc.volumeMaps.size(), count);
        EXPECT_EQ(rc.panMaps.size(), count);
        EXPECT_EQ(rc.soundfontMaps.size(), count);
    }
    ScratchDir scratch;
};

TEST_F(RunConfigurationTest, MapnumberIsLimitedTo1To99) {
    struct Row {
        const char* text;
        int32_t count;
    } rows[] = {
        {"[pravtweak]\nmapnumber=0", 1},
        {"[pravtweak]\nmapnumber=100", 99},
        {"[pravtweak]\nmapnumber=-3", 1},
        {"[pravtweak]\nmapnumber=abc", 1},
        {"[pravtweak]\nmapnumber=", 3},
        {"[pravtweak]\nmapnumber=12 ;more", 12},
        {"[PRAVTWEAK]\nMAPNUMBER=2", 2},
        {"[pravtweak]\nmapnumber=99999999999", 99},
        {"[pravtweak]\nmapnumber=-99999999999", 1},
        // Under [prav], as the help text shows it, when [pravtweak] gives none.
        {"[prav]\nmapnumber=5", 5},
        {"[pravtweak]\nmapnumber=\n[prav]\nmapnumber=5", 5},
        {"[pravtweak]\nmapnumber=2\n[prav]\nmapnumber=5", 2},
        {"[prav]\nmapnumber=500", 99},
    };
    for (const Row& row : rows) {
        const RunConfiguration& rc = load(row.text);
        EXPECT_EQ(rc.mapCount, row.count) << row.text;
        expectSlots(rc, static_cast<size_t>(row.count));
    }
}

TEST_F(RunConfigurationTest, ReadsModelPathAndNumberedSections) {
    const RunConfiguration& rc = load(
        "[pravtweak]\nmapnumber=2\n[prav]\npipravox=Pipravox40X\nxml=C:\\Organs\\organ.xml\n"
        "[volume]\nelse=6        ;the default\n[volume2]\ntraps=16      ;make gong, drums loud.\n"
        "[volume3]\nflute=1\n");
    EXPECT_EQ(rc.modelName, "Pipravox40X");
    EXPECT_EQ(rc.xmlPath, "C:\\Organs\\organ.xml");
    expectSlots(rc, 2);
    EXPECT_EQ(rc.volumeMaps[0].size(), 1u);
    EXPECT_EQ(rc.volumeMaps[0].at("else").number, 6);
    EXPECT_EQ(rc.volumeMaps[1].size(), 1u);
    EXPECT_EQ(rc.volumeMaps[1].at("traps").text, "16");
    EXPECT_TRUE(rc.panMaps[0].empty() && rc.panMaps[1].empty());
    EXPECT_TRUE(rc.soundfontMaps[0].empty() && rc.soundfontMaps[1].empty());
}

TEST_F(RunConfigurationTest, SlotIHoldsSectionNumberedIPlusOne) {
    const RunConfiguration& rc = load("[volume1]\na=1\n[volume3]\nb=2\n[soundfont]\nc=3\n");
    expectSlots(rc, 3);
    EXPECT_TRUE(rc.volumeMaps[0].empty() && rc.volumeMaps[1].empty());
    EXPECT_EQ(rc.volumeMaps[2].count("b"), 1u);
    EXPECT_EQ(rc.soundfontMaps[0].count("c"), 1u);
}

TEST_F(RunConfigurationTest, UnquoteRemovesOnePairOfEnclosingQuotes) {
    struct Row {
        const char *text, *result;
    } rows[] = {
        {"\"C:\\My Organs\\organ.xml\"", "C:\\My Organs\\organ.xml"},
        {"\"", ""},
        {"\"\"", ""},
        {"\"abc", "\"abc"},
        {"\"\"x\"\"", "\"x\""},
        {"\" a \"", " a "},
    };
    for (const Row& row : rows) {
        std::string text = row.text;
        unquote(text);
        EXPECT_EQ(text, row.result) << row.text;
    }
    const RunConfiguration& rc = load("[PRAV]\nXML=\"a;b.xml\"\nPipravox=\"\"\n");
    EXPECT_EQ(rc.xmlPath, "\"a");
    EXPECT_EQ(rc.modelName, "");
}

TEST_F(RunConfigurationTest, MissingFileLeavesDefaults) {
    setIniPath("absent.ini");
    loadRunConfiguration();
    const RunConfiguration& rc = runConfiguration;
    EXPECT_EQ(rc.mapCount, 3);
    EXPECT_EQ(rc.modelName, "");
    EXPECT_EQ(rc.xmlPath, "");
    expectSlots(rc, 3);
    for (const auto& map : rc.volumeMaps)
        EXPECT_TRUE(map.empty());
}

}  // namespace
