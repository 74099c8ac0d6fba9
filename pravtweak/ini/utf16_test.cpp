#include "utf16.h"

#include <gtest/gtest.h>

namespace {

// Decodes bytes fed in chunks of every size from 1 up, so that units and
// surrogate pairs fall across every chunk boundary.
std::string decoded(const std::string& bytes, bool big_endian, size_t chunk) {
    Utf16Decoder decoder(big_endian);
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += chunk)
        decoder.decode(bytes.data() + i, std::min(chunk, bytes.size() - i), out);
    decoder.finish(out);
    return out;
}

TEST(Utf16Decoder, DecodesAcrossChunksAndReplacesWhatIsNoUtf16) {
    struct Row {
        std::string little_endian;
        std::string utf8;
    } rows[] = {
        {std::string("x\0=\0\xe9\0\r\0\n\0", 10), "x=\xc3\xa9\r\n"},
        {"\x44\x27\x3c\xd8\xb9\xdf", "\xe2\x9d\x84\xf0\x9f\x8e\xb9"},  // snowflake, keyboard
        {std::string("\x3c\xd8"
                     "a\0",
                     4),
         "\xef\xbf\xbd"
         "a"},  // high without low
        {std::string("\xb9\xdf"
                     "a\0",
                     4),
         "\xef\xbf\xbd"
         "a"},                                             // low without high
        {std::string("a\0\x3c\xd8", 4), "a\xef\xbf\xbd"},  // high at the end
        {std::string("a\0b", 3), "a\xef\xbf\xbd"},         // a byte left over
    };
    for (const Row& row : rows) {
        std::string big_endian = row.little_endian;
        for (size_t i = 0; i + 1 < big_endian.size(); i += 2)
            std::swap(big_endian[i], big_endian[i + 1]);
        for (size_t chunk = 1; chunk <= row.little_endian.size(); ++chunk) {
            EXPECT_EQ(decoded(row.little_endian, false, chunk), row.utf8) << chunk;
            if (row.little_endian.size() % 2 == 0) {
                EXPECT_EQ(decoded(big_endian, true, chunk), row.utf8) << chunk;
            }
        }
    }
}

}  // namespace
