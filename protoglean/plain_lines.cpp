#include "plain_lines.h"

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
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

// What a quick look at a block tells.
struct Glance {
    bool line_feed, word_start;
};

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

inline __m128i lane(const char* block, unsigned i) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + i));
}

inline uint64_t lane_bits(__m128i set, unsigned i) {
    return uint64_t(static_cast<uint16_t>(_mm_movemask_epi8(set))) << i;
}

inline uint64_t line_feeds(const char* block) {
    const __m128i line_feed = _mm_set1_epi8('\n');
    uint64_t bits = 0;
    for (unsigned i = 0; i < BLOCK_SIZE; i += 16)
        bits |= lane_bits(_mm_cmpeq_epi8(lane(block, i), line_feed), i);
    return bits;
}

inline BlockMasks classify(const char* block) {
    const __m128i line_feed = _mm_set1_epi8('\n');
    const __m128i underscore = _mm_set1_epi8('_');
    const __m128i blank = _mm_set1_epi8(' ');
    const __m128i tab = _mm_set1_epi8('\t');
    const __m128i controls = _mm_set1_epi8('\r' - '\t');
    BlockMasks masks = {0, 0, 0};
    for (unsigned i = 0; i < BLOCK_SIZE; i += 16) {
        __m128i bytes = lane(block, i);
        masks.line_feed |= lane_bits(_mm_cmpeq_epi8(bytes, line_feed), i);
        masks.underscore |= lane_bits(_mm_cmpeq_epi8(bytes, underscore), i);
        // Tab to carriage return: the bytes that are at most '\r' - '\t'
        // above the tab, unsigned.
        __m128i above_tab = _mm_sub_epi8(bytes, tab);
        __m128i control = _mm_cmpeq_epi8(_mm_min_epu8(above_tab, controls), above_tab);
        masks.blank |= lane_bits(_mm_or_si128(control, _mm_cmpeq_epi8(bytes, blank)), i);
    }
    masks.blank &= ~masks.line_feed;
    return masks;
}

// Whether the block holds an LF, and whether it holds a "_" right after a
// byte no greater than the blank (a blank, an LF or another control): any
// other "_" follows a byte of a word, and begins no line's text. Reads the
// byte before the block as well, unless the block begins a line.
inline Glance glance(const char* block, bool line_begins) {
    const __m128i line_feed = _mm_set1_epi8('\n');
    const __m128i underscore = _mm_set1_epi8('_');
    const __m128i blank = _mm_set1_epi8(' ');
    __m128i feeds = _mm_setzero_si128(), starts = _mm_setzero_si128();
    for (unsigned i = 0; i < BLOCK_SIZE; i += 16) {
        __m128i bytes = lane(block, i);
        // At the start of a line, an LF stands for the byte before.
        __m128i before = i == 0 && line_begins
                             ? _mm_or_si128(_mm_slli_si128(bytes, 1), _mm_cvtsi32_si128('\n'))
                             : lane(block - 1, i);
        feeds = _mm_or_si128(feeds, _mm_cmpeq_epi8(bytes, line_feed));
        __m128i after_low = _mm_cmpeq_epi8(_mm_min_epu8(before, blank), before);
        starts = _mm_or_si128(starts, _mm_and_si128(_mm_cmpeq_epi8(bytes, underscore), after_low));
    }
    return {_mm_movemask_epi8(feeds) != 0, _mm_movemask_epi8(starts) != 0};
}

#else

inline uint64_t line_feeds(const char* block) {
    return block_masks_bytewise(block).line_feed;
}

inline BlockMasks classify(const char* block) {
    return block_masks_bytewise(block);
}

// Every "_" counts here.
inline Glance glance(const char* block, bool) {
    BlockMasks all = block_masks_bytewise(block);
    return {all.line_feed != 0, all.underscore != 0};
}

#endif

BlockMasks block_masks(const char* block) {
    return classify(block);
}

namespace {

// Where glancing has got to: the block of the last LF it saw (none when it
// saw none), and the number of blocks without an LF since. After fewer than
// plain_limit of them, the line open at a block's start is shorter than a
// piece, whatever the block holds; after that many, it may be longer.
const size_t none = SIZE_MAX;
struct Glanced {
    size_t line_feed_block, plain_blocks, plain_limit;
};

// Glances at the blocks from block (not the first) on while a glance is
// enough, and returns the first that needs a close look: one that may hold
// a line's first "_", or one after plain_limit blocks without an LF. Stops
// where less than a block is left.
size_t glance_ahead(const char* data, size_t length, size_t block, Glanced& glanced) {
    // Kept apart from the bytes, which a compiler must assume may alias it.
    Glanced now = glanced;
    for (; length - block >= BLOCK_SIZE && now.plain_blocks < now.plain_limit;
         block += BLOCK_SIZE) {
        Glance g = glance(data + block, false);
        if (g.word_start)
            break;
        if (g.line_feed)
            now.line_feed_block = block, now.plain_blocks = 0;
        else
            ++now.plain_blocks;
    }
    glanced = now;
    return block;
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))

// The same, 32 bytes at a time, on a processor that has AVX2.
__attribute__((target("avx2"))) size_t glance_ahead_avx2(const char* data, size_t length,
                                                         size_t block, Glanced& glanced) {
    const __m256i line_feed = _mm256_set1_epi8('\n');
    const __m256i underscore = _mm256_set1_epi8('_');
    const __m256i blank = _mm256_set1_epi8(' ');
    Glanced now = glanced;
    for (; length - block >= BLOCK_SIZE && now.plain_blocks < now.plain_limit;
         block += BLOCK_SIZE) {
        const char* p = data + block;
        __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32));
        __m256i low_before = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p - 1));
        __m256i high_before = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 31));
        __m256i feeds =
            _mm256_or_si256(_mm256_cmpeq_epi8(low, line_feed), _mm256_cmpeq_epi8(high, line_feed));
        __m256i starts = _mm256_or_si256(
            _mm256_and_si256(_mm256_cmpeq_epi8(low, underscore),
                             _mm256_cmpeq_epi8(_mm256_min_epu8(low_before, blank), low_before)),
            _mm256_and_si256(_mm256_cmpeq_epi8(high, underscore),
                             _mm256_cmpeq_epi8(_mm256_min_epu8(high_before, blank), high_before)));
        if (!_mm256_testz_si256(starts, starts))
            break;
        if (!_mm256_testz_si256(feeds, feeds))
            now.line_feed_block = block, now.plain_blocks = 0;
        else
            ++now.plain_blocks;
    }
    glanced = now;
    return block;
}

#endif

using GlanceAhead = size_t (*)(const char*, size_t, size_t, Glanced&);

GlanceAhead widest_glance() {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2"))
        return glance_ahead_avx2;
#endif
    return glance_ahead;
}

const GlanceAhead glance_ahead_widest = widest_glance();

}  // namespace

size_t skip_plain_lines(const char* data, size_t length, size_t piece, Lanes lanes) {
    // Marked lines often follow one another.
    if (length > 0 && data[0] == '_')
        return 0;
    GlanceAhead glance_on = lanes == Lanes::widest ? glance_ahead_widest : glance_ahead;
    // The start of the line that the block begins in, as of the last close
    // look; glancing since notes only the block of the last LF.
    size_t line_start = 0;
    // The line open at a block's start after n blocks without an LF is
    // shorter than n + 2 blocks.
    size_t plain_limit = piece >= BLOCK_SIZE ? piece / BLOCK_SIZE - 1 : 0;
    Glanced glanced = {none, 0, plain_limit};
    auto find_line_start = [&]() {
        if (glanced.line_feed_block == none)
            return;
        line_start =
            glanced.line_feed_block + highest_bit(line_feeds(data + glanced.line_feed_block)) + 1;
        glanced.line_feed_block = none;
    };
    // Most blocks need no more than a glance.
    for (size_t block = 0; length - block >= BLOCK_SIZE; block += BLOCK_SIZE) {
        if (glanced.plain_blocks < plain_limit) {
            if (block == 0) {
                Glance g = glance(data, true);
                if (!g.word_start) {
                    glanced.line_feed_block = g.line_feed ? 0 : none;
                    glanced.plain_blocks = g.line_feed ? 0 : 1;
                    continue;
                }
            } else {
                block = glance_on(data, length, block, glanced);
                if (length - block < BLOCK_SIZE)
                    break;
            }
        }
        BlockMasks m = classify(data + block);
        // The line open at the block's start is the only one that may be
        // long enough to be read in more than one piece.
        if (glanced.plain_blocks >= plain_limit) {
            find_line_start();
            size_t open_end = block + (m.line_feed ? lowest_bit(m.line_feed) : BLOCK_SIZE);
            if (open_end - line_start >= piece)
                return line_start;
        }
        if (m.underscore) {
            bool line_begins = block == 0 || data[block - 1] == '\n';
            uint64_t starts = (m.line_feed << 1) | (line_begins ? 1 : 0);
            // Adding a line's first bit to the run of blanks that it begins
            // carries past the run, onto the line's first byte that is no
            // blank (its LF when the line is blank). The open line's run
            // may have begun before the block; that matters only when the
            // block's first byte that is no blank is a "_".
            uint64_t open_blank = 0;
            if (!line_begins && ((m.blank + 1) & ~m.blank & m.underscore)) {
                find_line_start();
                open_blank = all_blank(data + line_start, block - line_start) ? 1 : 0;
            }
            uint64_t first = (m.blank + (starts | open_blank)) & ~m.blank;
            if (uint64_t wanted = first & m.underscore) {
                uint64_t earlier = starts & ((uint64_t(2) << lowest_bit(wanted)) - 1);
                if (earlier)
                    return block + highest_bit(earlier);
                find_line_start();
                return line_start;
            }
        }
        if (m.line_feed)
            glanced.line_feed_block = block, glanced.plain_blocks = 0;
        else
            ++glanced.plain_blocks;
    }
    find_line_start();
    return line_start;
}

}  // namespace protoglean
