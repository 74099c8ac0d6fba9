#include "scan_text.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace protoglean {

namespace {

bool at_line_end(const char* cursor) {
    return *cursor == '\n' || *cursor == '\0';
}

}  // namespace

size_t ordinary_run(const char* data, size_t length) {
    size_t i = 0;
#if defined(__SSE2__)
    // "(" and ")" differ in the lowest bit only, "[" and "{" in the bit of
    // 0x20 only: one comparison finds each pair.
    const __m128i zero = _mm_setzero_si128();
    const __m128i paren = _mm_set1_epi8('('), not_lowest = _mm_set1_epi8(~0x01);
    const __m128i bracket = _mm_set1_epi8('['), not_0x20 = _mm_set1_epi8(~0x20);
    const __m128i equals = _mm_set1_epi8('='), semicolon = _mm_set1_epi8(';');
    for (; length - i >= 16; i += 16) {
        __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        __m128i pairs = _mm_or_si128(_mm_cmpeq_epi8(_mm_and_si128(bytes, not_lowest), paren),
                                     _mm_cmpeq_epi8(_mm_and_si128(bytes, not_0x20), bracket));
        __m128i singles = _mm_or_si128(
            _mm_cmpeq_epi8(bytes, zero),
            _mm_or_si128(_mm_cmpeq_epi8(bytes, equals), _mm_cmpeq_epi8(bytes, semicolon)));
        if (int stops = _mm_movemask_epi8(_mm_or_si128(pairs, singles)))
            return i + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(stops)));
    }
#endif
    while (i < length && !is_scan_stop(static_cast<unsigned char>(data[i])))
        ++i;
    return i;
}

bool skip_blanks(const char** cursor) {
    const char* p = *cursor;
    while (*p != '\n' && is_space(static_cast<unsigned char>(*p)))
        ++p;
    *cursor = p;
    return at_line_end(p);
}

bool skip_word(const char** cursor) {
    const char* p = *cursor;
    while (is_graph(static_cast<unsigned char>(*p)))
        ++p;
    *cursor = p;
    return at_line_end(p);
}

bool is_marker(const char* text) {
    return text[0] == '_' && (text[1] == 'f' || text[1] == 'v') &&
           is_space(static_cast<unsigned char>(text[2]));
}

}  // namespace protoglean
