// Passes over the lines of a C source that the extractor's line loop would
// read and leave alone, 64 bytes at a time instead of a line at a time.
#pragma once

#include <cstddef>
#include <cstdint>

namespace protoglean {

const size_t BLOCK_SIZE = 64;

// Classes of the bytes of one block: bit i stands for byte i.
struct BlockMasks {
    uint64_t line_feed;
    uint64_t underscore;
    // isspace other than the line feed: blank, tab, vertical tab, form
    // feed, carriage return.
    uint64_t blank;
};

// Classifies BLOCK_SIZE bytes, with vector instructions where the build has
// them.
BlockMasks block_masks(const char* block);

// The same, a byte at a time, on every build.
BlockMasks block_masks_bytewise(const char* block);

// data holds length bytes from the start of a line, which the line loop
// reads in pieces of at most piece bytes. Returns where the first line
// starts that the loop must read itself: every line before it ends with an
// LF within piece bytes of its start, so that it is read whole as one piece,
// and its first character that is no blank is not "_". It stops earlier
// where data ends: at the start of the line that data does not hold to its
// LF, or of the line that reaches into the last bytes short of a block.
// The widest vector instructions the processor has (AVX2) look at most of
// the bytes, or the build's baseline (SSE2 where it has them) does.
enum class Lanes { widest, baseline };
size_t skip_plain_lines(const char* data, size_t length, size_t piece, Lanes lanes = Lanes::widest);

}  // namespace protoglean
