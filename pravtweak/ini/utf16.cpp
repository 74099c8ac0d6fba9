#include "utf16.h"

namespace {

const uint32_t replacement_character = 0xFFFD;

void put_utf8(uint32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

void Utf16Decoder::decode(const char* data, size_t size, std::string& out) {
    for (size_t i = 0; i < size; ++i) {
        int byte = static_cast<unsigned char>(data[i]);
        if (odd_byte_ < 0) {
            odd_byte_ = byte;
            continue;
        }
        uint32_t value = big_endian_ ? static_cast<uint32_t>(odd_byte_ << 8 | byte)
                                     : static_cast<uint32_t>(byte << 8 | odd_byte_);
        odd_byte_ = -1;
        unit(value, out);
    }
}

void Utf16Decoder::unit(uint32_t value, std::string& out) {
    bool high = value >= 0xD800 && value < 0xDC00;
    bool low = value >= 0xDC00 && value < 0xE000;
    if (high_ != 0 && low) {
        put_utf8(0x10000 + ((high_ - 0xD800) << 10) + (value - 0xDC00), out);
        high_ = 0;
        return;
    }
    if (high_ != 0)
        put_utf8(replacement_character, out);
    high_ = high ? value : 0;
    if (!high)
        put_utf8(low ? replacement_character : value, out);
}

void Utf16Decoder::finish(std::string& out) {
    if (high_ != 0 || odd_byte_ >= 0)
        put_utf8(replacement_character, out);
    high_ = 0;
    odd_byte_ = -1;
}
