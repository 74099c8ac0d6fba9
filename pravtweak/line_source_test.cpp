#include "line_source.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace {

using namespace std::string_literals;

class LineSourceTest : public testing::Test {
  protected:
    ScratchDir scratch;
};

const std::string x(size_t n) {
    return std::string(n, 'x');
}

TEST_F(LineSourceTest, PiecesHoldAtMost999CharactersWithCrLfCountingAsOne) {
    using Pieces = std::vector<std::string>;
    struct Row {
        std::string input;
        Pieces pieces;
    } rows[] = {
        {"a\r\nb", {"a\r\n", "b"}},
        {std::string("a\0b\nc\rd\n", 8), {std::string("a\0b\n", 4), "c\rd\n"}},
        {x(998) + "\n", {x(998) + "\n"}},
        {x(999) + "\n", {x(999), "\n"}},
        {x(998) + "\r\n", {x(998) + "\r\n"}},
        {x(999) + "\r\n", {x(999), "\r\n"}},
        {x(997) + "\r\r\n", {x(997) + "\r\r\n"}},
        {x(2500), {x(999), x(999), x(502)}},
        {x(1997) + "\r\nz", {x(999), x(998) + "\r\n", "z"}},
    };
    for (const Row& row : rows) {
        LineSource s(scratch.open_source(row.input));
        Pieces got;
        Piece piece;
        while (s.next_piece(piece)) {
            got.emplace_back(piece.data, piece.size);
            EXPECT_EQ(piece.crlf,
                      got.back().size() >= 2 && got.back().rfind("\r\n") == got.back().size() - 2);
        }
        EXPECT_EQ(got, row.pieces) << row.input.substr(0, 10) << " size " << row.input.size();
    }
}

TEST_F(LineSourceTest, RanksTagCountsOnlyWhenWholeInOnePiece) {
    struct Row {
        std::string input;
        int line;  // of the piece holding "<ranks>"; 0: none
        size_t copied;
    } rows[] = {
        {x(995) + "<ranks>\nb<ranks>\n", 3, 1003},
        {x(992) + "<ranks>\n", 1, 0},
        {std::string("\0<ranks>\n", 9), 1, 0},
        {"<Ranks>\n<ranks\n", 0, 15},
    };
    for (const Row& row : rows) {
        LineSource s(scratch.open_source(row.input));
        FILE* out = fopen("out", "wb");
        int line_number = 0;
        Piece piece;
        EXPECT_EQ(s.copy_until_ranks(out, line_number, piece), row.line != 0);
        fclose(out);
        EXPECT_EQ(line_number, row.line ? row.line : 2);
        EXPECT_EQ(read_file("out"), row.input.substr(0, row.copied));
    }
}

// Mixed lines, CR LF and LF, zero bytes, lines over 999 characters, near
// misses of the tag; size bytes, the last a line feed.
std::string filler(size_t size) {
    const std::string chunk = "<rank id=\"1\">\r\n\0zero\n</ranks>\t<ranks\n"s + x(2100) + "\r\n" +
                              x(999) + "\r\n" + x(998) + "\r\n";
    std::string text;
    while (text.size() < size)
        text += chunk;
    text.resize(size - 1);
    return text + "\n";
}

// Pieces of a text of whole lines: ceil(characters / 999) per line.
int count_pieces(const std::string& text) {
    int pieces = 0;
    for (size_t start = 0, lf; start < text.size(); start = lf + 1) {
        lf = text.find('\n', start);
        size_t chars = lf - start + 1 - (lf > start && text[lf - 1] == '\r');
        pieces += static_cast<int>((chars + 998) / 999);
    }
    return pieces;
}

TEST_F(LineSourceTest, CopyUntilRanksCopiesByteForByteAcrossRefills) {
    const size_t cap = LineSource::capacity;
    for (size_t tag : {cap - 10, cap - 6, cap - 3, cap - 1, cap, cap + 1, 2 * cap + 5}) {
        const std::string prefix = filler(tag - 2), middle = filler(cap + 1000), tail = filler(500);
        LineSource s(scratch.open_source(prefix + "  <ranks>\r\n" + middle + "b<ranks>\n" + tail));
        FILE* out = fopen("out", "wb");
        int line_number = 0;
        Piece piece;
        ASSERT_TRUE(s.copy_until_ranks(out, line_number, piece)) << tag;
        EXPECT_EQ(std::string(piece.data, piece.size), "  <ranks>\r\n");
        EXPECT_TRUE(piece.crlf);
        EXPECT_EQ(line_number, count_pieces(prefix) + 1);
        ASSERT_TRUE(s.copy_until_ranks(out, line_number, piece));
        EXPECT_EQ(std::string(piece.data, piece.size), "b<ranks>\n");
        EXPECT_FALSE(s.copy_until_ranks(out, line_number, piece));
        EXPECT_EQ(line_number, count_pieces(prefix + middle + tail) + 2);
        EXPECT_FALSE(s.failed());
        fclose(out);
        EXPECT_TRUE(read_file("out") == prefix + middle + tail) << tag;
    }
}

TEST_F(LineSourceTest, LineNumbersHoldOverEveryMixOfLineLengths) {
    // Line lengths around the 999-character limit and around the spacing of
    // line feeds that lets lines be counted without splitting each one.
    unsigned seed = 1;
    auto next = [&seed](unsigned n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % n;
    };
    for (int round = 0; round < 20; ++round) {
        std::string text;
        while (text.size() < 3 * LineSource::capacity) {
            size_t kind = next(4);
            size_t length = kind == 0   ? next(40)
                            : kind == 1 ? 490 + next(20)
                            : kind == 2 ? 990 + next(20)
                                        : next(3000);
            text += x(length) + (next(2) ? "\r\n" : "\n");
        }
        size_t lead = next(2000);
        if (lead % 999 > 991)
            lead -= 10;  // a tag cut by a piece's end would not count
        const std::string tail = x(lead) + "<ranks>\n";
        LineSource s(scratch.open_source(text + tail));
        FILE* out = fopen("out", "wb");
        int line_number = 0;
        Piece piece;
        ASSERT_TRUE(s.copy_until_ranks(out, line_number, piece));
        fclose(out);
        const int tail_pieces = count_pieces(tail);
        EXPECT_EQ(line_number, count_pieces(text) + tail_pieces);
        EXPECT_TRUE(read_file("out") == text + tail.substr(0, (tail_pieces - 1) * 999)) << round;
    }
}

}  // namespace
