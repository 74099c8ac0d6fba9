#include "plain_lines.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "scan_text.h"

namespace protoglean {

namespace {

unsigned lowest_bit(uint64_t bits) {
    return static_cast<unsigned>(__builtin_ctzll(bits));
}

unsigned highest_bit(uint64_t bits) {
    return 63 - static_cast<unsigned>(__builtin_clzll(bits));
}

// True when the count bytes at data are all blanks other than the LF, and
// so are none.
bool all_blank(const char* data, size_t count) {
    for (size_t i = 0; i < count; ++i)
        if (data[i] == '\n' || !is_space(static_cast<unsigned char>(data[i])))
            return false;
    return true;
}

}  // namespace

BlockMasks block_masks_bytewise(const char* block) {
    BlockMasks masks = {0, 0, 0};
    for (size_t i = 0; i < BLOCK_SIZE; ++i) {
        unsigned char c = static_cast<unsigned char>(block[i]);
        uint64_t bit = uint64_t(1) << i;
        if (c == '\n')
            masks.line_feed |= bit;
        else if (c == '_')
            masks.underscore |= bit;
        else if (is_space(c))
            masks.blank |= bit;
    }
    return masks;
}

#if defined(__SSE2__)

// Two passes over the block: most blocks hold no "_", and the scan needs
// their blanks only where one does.
inline __m128i lane(const char* block, unsigned i) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + i));
}

inline uint64_t lane_bits(__m128i set, unsigned i) {
    return uint64_t(static_cast<uint16_t>(_mm_movemask_epi8(set))) << i;
}

// The line feeds, and whether the block holds a "_".
inline bool find_line_feeds(const char* block, BlockMasks& masks) {
    const __m128i line_feed = _mm_set1_epi8('\n');
    const __m128i underscore = _mm_set1_epi8('_');
    masks.line_feed = 0;
    __m128i underscores = _mm_setzero_si128();
    for (unsigned i = 0; i < BLOCK_SIZE; i += 16) {
        __m128i bytes = lane(block, i);
        masks.line_feed |= lane_bits(_mm_cmpeq_epi8(bytes, line_feed), i);
        underscores = _mm_or_si128(underscores, _mm_cmpeq_epi8(bytes, underscore));
    }
    return _mm_movemask_epi8(underscores) != 0;
}

// The line feeds, and whether the block holds a "_" right after a byte no
// greater than the blank (a blank, an LF or another control): any other "_"
// follows a byte of a word, and begins no line's text. Reads the byte
// before the block as well.
inline bool find_line_feeds_and_word_starts(const char* block, BlockMasks& masks) {
    const __m128i line_feed = _mm_set1_epi8('\n');
    const __m128i underscore = _mm_set1_epi8('_');
    const __m128i blank = _mm_set1_epi8(' ');
    masks.line_feed = 0;
    __m128i starts = _mm_setzero_si128();
    for (unsigned i = 0; i < BLOCK_SIZE; i += 16) {
        __m128i bytes = lane(block, i);
        __m128i before = lane(block - 1, i);
        masks.line_feed |= lane_bits(_mm_cmpeq_epi8(bytes, line_feed), i);
        __m128i after_low = _mm_cmpeq_epi8(_mm_min_epu8(before, blank), before);
        starts = _mm_or_si128(starts, _mm_and_si128(_mm_cmpeq_epi8(bytes, underscore), after_low));
    }
    return _mm_movemask_epi8(starts) != 0;
}

// Needs masks.line_feed.
inline void find_underscores_and_blanks(const char* block, BlockMasks& masks) {
    const __m128i underscore = _mm_set1_epi8('_');
    const __m128i blank = _mm_set1_epi8(' ');
    const __m128i tab = _mm_set1_epi8('\t');
    const __m128i controls = _mm_set1_epi8('\r' - '\t');
    masks.underscore = masks.blank = 0;
    for (unsigned i = 0; i < BLOCK_SIZE; i += 16) {
        __m128i bytes = lane(block, i);
        masks.underscore |= lane_bits(_mm_cmpeq_epi8(bytes, underscore), i);
        // Tab to carriage return: the bytes that are at most '\r' - '\t'
        // above the tab, unsigned.
        __m128i above_tab = _mm_sub_epi8(bytes, tab);
        __m128i control = _mm_cmpeq_epi8(_mm_min_epu8(above_tab, controls), above_tab);
        masks.blank |= lane_bits(_mm_or_si128(control, _mm_cmpeq_epi8(bytes, blank)), i);
    }
    masks.blank &= ~masks.line_feed;
}

#else

inline bool find_line_feeds(const char* block, BlockMasks& masks) {
    BlockMasks all = block_masks_bytewise(block);
    masks.line_feed = all.line_feed;
    return all.underscore != 0;
}

// Every "_" counts here.
inline bool find_line_feeds_and_word_starts(const char* block, BlockMasks& masks) {
    return find_line_feeds(block, masks);
}

inline void find_underscores_and_blanks(const char* block, BlockMasks& masks) {
    BlockMasks all = block_masks_bytewise(block);
    masks.underscore = all.underscore;
    masks.blank = all.blank;
}

#endif

BlockMasks block_masks(const char* block) {
    BlockMasks masks;
    find_line_feeds(block, masks);
    find_underscores_and_blanks(block, masks);
    return masks;
}
size_t skip_plain_lines(const char* data, size_t length, size_t piece) {
    // Marked lines often follow one another.
    if (length > 0 && data[0] == '_')
        return 0;
    // The start of the line that the block begins in.
    size_t line_start = 0;
    for (size_t block = 0; length - block >= BLOCK_SIZE; block += BLOCK_SIZE) {
        BlockMasks m;
        // The first block has no byte before it to look at.
        bool underscore = block == 0 ? find_line_feeds(data, m)
                                     : find_line_feeds_and_word_starts(data + block, m);
        // The line open at the block's start is the only one that may be
        // long enough to be read in more than one piece.
        size_t open_end = block + (m.line_feed ? lowest_bit(m.line_feed) : BLOCK_SIZE);
        if (open_end - line_start >= piece)
            return line_start;
        if (underscore) {
            find_underscores_and_blanks(data + block, m);
            uint64_t starts = (m.line_feed << 1) | (line_start == block ? 1 : 0);
            // Adding a line's first bit to the run of blanks that it begins
            // carries past the run, onto the line's first byte that is no
            // blank (its LF when the line is blank). The open line's run
            // may have begun before the block; that matters only when the
            // block's first byte that is no blank is a "_".
            uint64_t open_blank = 0;
            if (line_start < block && ((m.blank + 1) & ~m.blank & m.underscore))
                open_blank = all_blank(data + line_start, block - line_start) ? 1 : 0;
            uint64_t first = (m.blank + (starts | open_blank)) & ~m.blank;
            if (uint64_t wanted = first & m.underscore) {
                uint64_t earlier = starts & ((uint64_t(2) << lowest_bit(wanted)) - 1);
                return earlier ? block + highest_bit(earlier) : line_start;
            }
        }
        if (m.line_feed)
            line_start = block + highest_bit(m.line_feed) + 1;
    }
    return line_start;
}

}  // namespace protoglean
