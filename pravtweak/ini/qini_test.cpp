#include "qini.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "test_support.h"

namespace {

using qIni_space::qIni;
using qIni_space::QSTRINGLIST;

class QiniTest : public testing::Test {
  protected:
    qIni load(const std::string& text) {
        write_file("t.ini", text);
        return qIni("t.ini");
    }
    ScratchDir scratch;
};

TEST_F(QiniTest, ValuesLoseCommentsAndSurroundingWhiteSpace) {
    const qIni ini = load(
        "else=1\n[volume]\nelse=6        ;the default\nxml=//organ.xml\nquoted=\"a;b\"\n"
        "hash=x#y\nspaced = 5\n \t indented=  7 \t\nxmlfile=abc\nslash=a/b\n");
    struct Row {
        const char *key, *value;
    } rows[] = {
        {"else", "6"},     {"xml", ""},  {"quoted", "\"a"},  {"hash", "x"},    {"spaced", ""},
        {"INDENTED", "7"}, {"xmlf", ""}, {"XMLFILE", "abc"}, {"slash", "a/b"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(ini.findValue("volume", row.key), row.value) << row.key;
    EXPECT_EQ(ini.getSectionMap("volume").at("else").text, "6");
    EXPECT_EQ(ini.getSectionMap("volume").at("else").number, 6);
}

TEST_F(QiniTest, HeaderMatchesTrimmedLineStartInAnyCase) {
    struct Row {
        const char* header;
        bool is_volume;
    } rows[] = {
        {"[VOLUME]", true},    {"  [volume]  ", true}, {"[volume]xyz", true},
        {"[ volume ]", false}, {"[volume2]", false},   {"volume", false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(load(row.header + std::string("\nk=1\n")).findValue("volume", "k"),
                  row.is_volume ? "1" : "")
            << row.header;
}

TEST_F(QiniTest, FirstHeaderAndFirstKeyWinAndSectionsEndDifferently) {
    // An indented header ends the section for value lookups, not for maps.
    const qIni ini = load(
        "[volume]\nFlute=C\nflute=L2\ntrumpet=50,0\ntrumpet=30,50,0\n  [other]\nb=2\n"
        "[volume]\nlater=1\n");
    EXPECT_EQ(ini.findValue("volume", "flute"), "C");
    EXPECT_EQ(ini.findValue("volume", "b"), "");
    EXPECT_EQ(ini.findValue("other", "b"), "2");
    EXPECT_EQ(ini.findValue("volume", "later"), "");
    const qIni_space::INIMAP map = ini.getSectionMap("volume");
    EXPECT_EQ(map.size(), 4u);
    EXPECT_EQ(map.at("Flute").text, "C");
    EXPECT_EQ(map.at("flute").text, "L2");
    EXPECT_EQ(map.at("trumpet").text, "50,0");
    EXPECT_EQ(map.at("trumpet").number, 50);
    EXPECT_EQ(map.at("b").number, 2);
}

TEST_F(QiniTest, MapSkipsLinesStartingWithPunctuationAndTrimsKeys) {
    for (char c : std::string("~`!#%^&*+=-;:'\".<>/\\|()[]}{,"))
        EXPECT_TRUE(load("[s]\n" + std::string(1, c) + "k=1\n").getSectionMap("s").empty()) << c;
    const qIni_space::INIMAP map =
        load("[s]\n =5\nHarmonic Tuba = R 3\nnoequals\n$k=m0\n?q=-2\n@a=+4\n_u=12abc\n")
            .getSectionMap("s");
    ASSERT_EQ(map.size(), 6u);
    EXPECT_EQ(map.at("").text, "5");
    EXPECT_EQ(map.at("Harmonic Tuba").text, "R 3");
    EXPECT_EQ(map.at("Harmonic Tuba").number, 0);
    EXPECT_EQ(map.at("$k").number, 0);
    EXPECT_EQ(map.at("?q").number, -2);
    EXPECT_EQ(map.at("@a").number, 4);
    EXPECT_EQ(map.at("_u").number, 12);
}

TEST_F(QiniTest, MapValueKeepsFirst1000CharactersAfterEquals) {
    const std::string value = std::string(5, ' ') + std::string(995, 'a') + std::string(500, 'b');
    const qIni ini = load("[s]\nlong=" + value + "\n");
    EXPECT_EQ(ini.getSectionMap("s").at("long").text, std::string(995, 'a'));
    EXPECT_EQ(ini.findValue("s", "long"), value.substr(5));
}

TEST_F(QiniTest, IntAndBoolReadDefaultsOnlyForMissingOrEmptyValues) {
    const qIni ini = load(
        "[pravtweak]\nempty=\nabc=abc\nplus=+7\nminus=-5\ncut=12;x\noctal=010\nhex=0x1F\n"
        "big=99999999999\nzero=0\nzz=00\nno=no\ndot=0.0\n");
    struct IntRow {
        const char* key;
        int32_t value;
    } ints[] = {{"missing", 3}, {"empty", 3},  {"abc", 0}, {"plus", 7},       {"minus", -5},
                {"cut", 12},    {"octal", 10}, {"hex", 0}, {"big", INT32_MAX}};
    for (const IntRow& row : ints)
        EXPECT_EQ(ini.getInt("pravtweak", row.key, 3), row.value);
    struct BoolRow {
        const char* key;
        bool fallback, value;
    } bools[] = {{"missing", true, true}, {"empty", false, false}, {"zero", true, false},
                 {"zz", false, true},     {"no", false, true},     {"dot", false, true}};
    for (const BoolRow& row : bools)
        EXPECT_EQ(ini.getBool("pravtweak", row.key, row.fallback), row.value) << row.key;
}

TEST_F(QiniTest, CrLfLinesReadLikeLfLines) {
    const std::string text = "[volume]\nelse=6 ;x\n\n  [pan]  \nFlute = 3\nlast=1";
    std::string crlf;
    for (char c : text)
        crlf += c == '\n' ? "\r\n" : std::string(1, c);
    EXPECT_EQ(load(crlf + "\r\n").lines(), load(text).lines());
    EXPECT_EQ(load(crlf).getSectionMap("pan").at("last").text, "1");
}

TEST_F(QiniTest, LinesLoseCrOfCrLfThenOneControlCharacterAndLeadingByteOrderMark) {
    struct Row {
        const char* file;
        QSTRINGLIST lines;
    } rows[] = {
        {"Flute=C\a\r\nx=1\a\n", {"Flute=C", "x=1"}},
        {"a\r\r\nb\a\a\r\n", {"a", "b\a"}},
        {"a\r", {"a"}},
        {"a\a\r", {"a\a"}},
        {"\xEF\xBB\xBF[prav]\r\n\xEF\xBB\xBFx=1\n", {"[prav]", "\xEF\xBB\xBFx=1"}},
        {"\xEF\xBB\xBF", {""}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(load(row.file).lines(), row.lines) << row.file;
}

TEST_F(QiniTest, UnreadableFileGivesDefaultsAndKeepsLoadedLines) {
    const qIni missing("absent.ini"), directory(".");
    for (const qIni* ini : {&missing, &directory}) {
        EXPECT_TRUE(ini->lines().empty());
        EXPECT_EQ(ini->getInt("pravtweak", "mapnumber", 3), 3);
        EXPECT_TRUE(ini->getSectionMap("volume").empty());
    }
    qIni ini = load("[s]\nk=v\n");
    std::remove("t.ini");
    ini.load();
    EXPECT_EQ(ini.findValue("s", "k"), "v");
}

}  // namespace
