// UTF-16 text, as Windows Notepad saves "Unicode", turned into UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Decodes a chunk at a time: a byte or a surrogate pair split between
// chunks waits for the next one. A unit that is no valid UTF-16 (a
// surrogate without its partner, a byte left over at the end) becomes
// U+FFFD.
class Utf16Decoder {
  public:
    explicit Utf16Decoder(bool big_endian) : big_endian_(big_endian) {}

    // Appends the UTF-8 of the next size bytes to out.
    void decode(const char* data, size_t size, std::string& out);
    // Appends what is left at the end of the text.
    void finish(std::string& out);

  private:
    void unit(uint32_t value, std::string& out);

    bool big_endian_;
    int odd_byte_ = -1;  // the first byte of a unit, while the second is awaited
    uint32_t high_ = 0;  // a high surrogate, while its low one is awaited
};
