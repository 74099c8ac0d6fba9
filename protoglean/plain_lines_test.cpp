#include "plain_lines.h"

#include <gtest/gtest.h>

#include <string>

using protoglean::block_masks;
using protoglean::block_masks_bytewise;
using protoglean::BLOCK_SIZE;
using protoglean::BlockMasks;
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
