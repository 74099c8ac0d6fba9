#include "plain_lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using protoglean::block_masks;
using protoglean::block_masks_bytewise;
using protoglean::BLOCK_SIZE;
using protoglean::BlockMasks;
using protoglean::Lanes;
using protoglean::skip_plain_lines;

namespace {

const size_t piece = 199;

std::string lines(size_t count, const std::string& line) {
    std::string text;
    for (size_t i = 0; i < count; ++i)
        text += line;
    return text;
}

// Plain lines after text, enough for the scan to reach past it.
std::string padded(const std::string& text) {
    return text + lines(8, std::string(31, 'p') + "\n");
}

}  // namespace

TEST(BlockMasks, ClassifyEveryByteAtEveryPlaceAsTheBytewiseClassesDo) {
    // Block start visits every byte value at every place of the block.
    for (unsigned start = 0; start < 256; ++start) {
        char block[BLOCK_SIZE];
        for (unsigned i = 0; i < BLOCK_SIZE; ++i)
            block[i] = static_cast<char>((start + 37 * i) % 256);
        BlockMasks fast = block_masks(block), bytewise = block_masks_bytewise(block);
        EXPECT_EQ(fast.line_feed, bytewise.line_feed) << start;
        EXPECT_EQ(fast.underscore, bytewise.underscore) << start;
        EXPECT_EQ(fast.blank, bytewise.blank) << start;
    }
}

TEST(SkipPlainLines, PassesOverWhatTheLineLoopLeavesAloneAndStopsWhereItMustLook) {
    struct Row {
        std::string text;
        size_t stop;
    };
    const std::string x31(31, 'x'), a198(198, 'a');
    const Row rows[] = {
        // Up to the last line that whole blocks hold to its LF.
        {lines(4, x31 + "\n"), 128},
        {lines(4, x31 + "\n") + "ab", 128},
        {lines(4, x31 + "\n") + std::string(70, 'x'), 128},
        {lines(16, "x_y _\n") + lines(16, " \x01_\n") + lines(32, std::string("\0_\n", 3)), 256},
        // At a line whose first byte other than a blank is "_".
        {padded(lines(40, "x\n") + "_v int a;\n"), 80},
        {padded(lines(40, "x\n") + " \t\v\f\r_x\n"), 80},
        {padded(std::string(10, 'x') + "\n" + std::string(100, ' ') + "_v int a;\n"), 11},
        {padded(std::string(130, ' ') + "_v int a;\n"), 0},
        // At a line that the loop reads in more than one piece, and only
        // there.
        {padded(lines(3, a198 + "\n") + "_v int a;\n"), 3 * piece},
        {padded(a198 + "\n" + a198 + "a\n"), piece},
        {padded(std::string(piece + 10, ' ') + "\n"), 0},
    };
    for (const Row& row : rows)
        EXPECT_EQ(skip_plain_lines(row.text.data(), row.text.size(), piece), row.stop) << row.text;
}

TEST(SkipPlainLines, StopsWhereTheLineByLineRuleSaysWithEitherLanes) {
    // Lines of every length up to three blocks and more, of blanks, words,
    // "_" in every place and controls: the scan must stop at the first line
    // that is too long for a piece or whose first byte other than a blank is
    // "_", or at the start of the line that the last whole block reaches
    // into, whichever comes first.
    const char alphabet[] = {'a', 'a', 'a', ' ', ' ', '\t', '_', '\r', '\v', '\x01', '('};
    unsigned seed = 1;
    auto next = [&seed](unsigned range) {
        seed = seed * 1103515245 + 12345;
        return (seed >> 16) % range;
    };
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        while (text.size() < 700) {
            size_t line = next(8) == 0 ? next(260) : next(40);
            bool plain = next(6) != 0;
            for (size_t i = 0; i < line; ++i) {
                char c = alphabet[next(sizeof alphabet)];
                text += plain && c == '_' ? 'a' : c;
            }
            text += '\n';
        }
        text.resize(text.size() - next(100));
        // The line-by-line rule.
        size_t rule = 0;
        for (size_t start = 0;;) {
            size_t lf = text.find('\n', start);
            if (lf == std::string::npos || lf - start >= piece)
                break;
            size_t first = text.find_first_not_of(" \t\v\f\r", start);
            if (text[first] == '_')
                break;
            rule = start = lf + 1;
        }
        size_t whole = text.size() - text.size() % BLOCK_SIZE;
        size_t last_start = text.rfind('\n', whole == 0 ? 0 : whole - 1);
        last_start = whole == 0 || last_start == std::string::npos ? 0 : last_start + 1;
        size_t want = std::min(rule, last_start);
        for (Lanes lanes : {Lanes::widest, Lanes::baseline})
            ASSERT_EQ(skip_plain_lines(text.data(), text.size(), piece, lanes), want)
                << "round " << round << (lanes == Lanes::widest ? " widest" : " baseline");
    }
}
