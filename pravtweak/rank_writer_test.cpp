#include "rank_writer.h"

#include <gtest/gtest.h>

#include <string>

#include "catalogue.h"
#include "rank_reader.h"
#include "test_support.h"

namespace {

class RankWriterTest : public testing::Test {
  protected:
    void SetUp() override { reset_catalogue(); }
    std::string write(const char* model, bool crlf) {
        EXPECT_TRUE(find_model(model));
        std::string out;
        EXPECT_EQ(write_ranks(out, crlf, "Sunday 12/20/15 9:05 pm"), crlf ? 32u : 31u);
        return out;
    }
    ScratchDir scratch;
};

size_t count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

TEST_F(RankWriterTest, WritesThreePlusNineLinesPerRankIndentedByTabs) {
    model_catalogue[2].ranks[1].pan = -5;
    const std::string text = write("20c", false);
    EXPECT_EQ(count(text, "\n"), 3u + 9 * 11);
    EXPECT_EQ(count(text, "\r"), 0u);
    const std::string head =
        "\t<ranks>\n\t<!-- pravtweak ranks Sunday 12/20/15 9:05 pm -->\n"
        "\t\t<rank id=\"0\">\n\t\t\t<device>Pipravox Fluidsynth</device>\n"
        "\t\t\t<channel>0</channel>\n\t\t\t<volume>95</volume>\n\t\t\t<pan>64</pan>\n"
        "\t\t\t<bank>25</bank>\n\t\t\t<patch1>94</patch1>\n";
    EXPECT_EQ(text.substr(0, head.size()), head);
    EXPECT_NE(text.find("\t\t\t<patch2>44</patch2>\n\t\t</rank>\n\t\t<rank id=\"1\">\n"
                        "\t\t\t<device>Pipravox Fluidsynth</device>\n\t\t\t<channel>1</channel>\n"
                        "\t\t\t<volume>95</volume>\n\t\t\t<pan>-5</pan>\n"),
              std::string::npos);
    const std::string tail = "<patch2>101</patch2>\n\t\t</rank>\n\t</ranks>\n";
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

TEST_F(RankWriterTest, EndsEveryLineInCrLfWhenAskedAndReadsBackWithoutMessages) {
    for (int i = 0; i < 27; ++i) {
        RankRecord& r = model_catalogue[0].ranks[i];
        r.channel = i % 16;
        r.volume = -i;
        r.bank = 1000 + i;
        r.patch2 = INT32_MIN + i;
    }
    const std::string text = write("40X", true);
    EXPECT_EQ(count(text, "\n"), 3u + 9 * 27);
    EXPECT_EQ(count(text, "\r\n"), 3u + 9 * 27);

    const OrganModel written = model_catalogue[0];
    reset_catalogue();
    find_model("40X");
    LineSource source(scratch.open_source(text));
    Piece first;
    ASSERT_TRUE(source.next_piece(first));
    int line_number = 1;
    testing::internal::CaptureStderr();
    EXPECT_EQ(read_ranks(source, line_number), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    for (int i = 0; i < 27; ++i) {
        const RankRecord &a = written.ranks[i], &b = current_model->ranks[i];
        EXPECT_TRUE(b.read);
        EXPECT_EQ(std::vector<int>({a.channel, a.volume, a.pan, a.bank, a.patch1, a.patch2}),
                  std::vector<int>({b.channel, b.volume, b.pan, b.bank, b.patch1, b.patch2}));
    }
}

}  // namespace
