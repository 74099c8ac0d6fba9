#include "rank_reader.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "catalogue.h"
#include "messages.h"
#include "test_support.h"

namespace {

class RankReaderTest : public testing::Test {
  protected:
    void SetUp() override {
        reset_catalogue();
        ASSERT_TRUE(find_model("Pipravox10"));
    }
    // Reads a section that follows the "<ranks>" line; stderr goes to messages.
    int read(const std::string& section, int first_line = 0) {
        source = std::make_unique<LineSource>(scratch.open_source(section));
        line = first_line;
        testing::internal::CaptureStderr();
        int status = read_ranks(*source, line);
        messages = testing::internal::GetCapturedStderr();
        return status;
    }
    const RankRecord& rank(int id) { return current_model->ranks[id]; }
    ScratchDir scratch;
    std::unique_ptr<LineSource> source;
    int line = 0;
    std::string messages;
};

TEST_F(RankReaderTest, ReportsUnknownIdsStrayLinesAndUnclosedRanks) {
    int before = error_count;
    EXPECT_EQ(read("\t\t<rank id=\"42\">\r\n<volume>7</volume>\n</rank>\n<pan>9</pan>\n"
                   "<rank id=\"1\">\n<volume>3</volume>\n</rank>\n<bank>4</bank>\n<!-- c -->\n"
                   "<rank id=\"2\">\n<patch1>5</patch1>\n</ranks>\nafter\n",
                   10),
              0);
    EXPECT_EQ(messages,
              "pravtweak 11:rank 42 unknown (<rank id=\"42\">)\n"
              "pravtweak 14:missing rank id <ranks>?\n"
              "pravtweak 18:missing rank id <ranks>?\n"
              "pravtweak 19:missing rank id <ranks>?\n"
              "pravtweak 22:rank Flute wasn't read!\n"
              "pravtweak 22:rank Salicional wasn't read!\n"
              "pravtweak 22:rank Vox Humana wasn't read!\n"
              "pravtweak 22:rank Tibia Clausa wasn't read!\n"
              "pravtweak 22:rank Cathedral Chimes wasn't read!\n"
              "pravtweak 22:rank Xylophone wasn't read!\n"
              "pravtweak 22:rank Glockenspiel/Bells wasn't read!\n"
              "pravtweak 22:rank The Unknown Flute wasn't read!\n"
              "pravtweak 22:rank Traps wasn't read!\n");
    EXPECT_EQ(error_count - before, 13);
    EXPECT_EQ(std::vector<int>({rank(1).volume, rank(1).pan, rank(1).bank}),
              std::vector<int>({3, 64, 4}));
    EXPECT_EQ(rank(2).patch1, 5);
    EXPECT_FALSE(rank(2).read);
    Piece next;  // the "</ranks>" line is consumed
    ASSERT_TRUE(source->next_piece(next));
    EXPECT_EQ(std::string(next.data, next.size), "after\n");
}

TEST_F(RankReaderTest, PrematureEndReportsLinesReadAndGives17) {
    EXPECT_EQ(read("<rank id=\"0\">\n<volume>1</volume>\n", 5), 17);
    EXPECT_EQ(messages, "pravtweak 7:premature end of <ranks>\n");
}

TEST_F(RankReaderTest, RankLineIsSeenOnlyWithDoubleQuotedIdAndHidesRestOfLine) {
    EXPECT_EQ(read("<rank id=\"3\"><volume>1</volume></rank>\n<rank id='4'>\n<volume>6</volume>\n"
                   "</rank>\n<rank  id=\"5\">\n<pan>7</pan>\n</rank>\n"
                   "<rank id=\"3\">\n<volume>8</volume>\n</ranks>\n"),
              0);
    const std::string stray =
        "pravtweak 5:missing rank id <ranks>?\npravtweak 6:missing rank id <ranks>?\n"
        "pravtweak 10:rank Flute wasn't read!\n";
    EXPECT_EQ(messages.substr(0, stray.size()), stray);
    EXPECT_EQ(messages.find("Vox Humana"), std::string::npos);
    EXPECT_EQ(std::vector<int>({rank(3).volume, rank(3).pan, rank(4).volume, rank(5).pan}),
              std::vector<int>({8, 7, 95, 64}));
    EXPECT_TRUE(rank(3).read);
}

TEST_F(RankReaderTest, FieldLineTakesFirstTagInFixedOrderAndItsNumber) {
    struct Row {
        std::string line;
        int32_t RankRecord::*member;
        int32_t value;
    } rows[] = {
        {"<pan>1</pan><volume>2</volume>", &RankRecord::volume, 2},
        {"<patch2>3</patch2> <channel>4</channel>", &RankRecord::channel, 4},
        {"<patch1>7<patch2>8", &RankRecord::patch1, 7},
        {"<pan>  64  </pan>", &RankRecord::pan, 64},
        {"<pan>-5</pan>", &RankRecord::pan, -5},
        {"<volume></volume>", &RankRecord::volume, 0},
        {"<bank>+12x", &RankRecord::bank, 12},
        {"<bank>99999999999</bank>", &RankRecord::bank, INT32_MAX},
        {"<patch2>-" + std::string(40, '0') + "42", &RankRecord::patch2, -42},
        {"<device>9</device><volume>3", &RankRecord::volume, 95},
    };
    for (const Row& row : rows) {
        reset_catalogue();
        find_model("Pipravox10");
        EXPECT_EQ(read("<rank id=\"0\">\n" + row.line + "\n</rank>\n</ranks>\n"), 0);
        EXPECT_EQ(rank(0).*row.member, row.value) << row.line;
    }
}

}  // namespace
