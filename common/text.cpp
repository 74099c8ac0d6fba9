#include "text.h"

#include <cctype>
#include <cstring>

const char* find_nocase(const char* text, const char* pattern) {
    size_t n = std::strlen(pattern);
    if (n == 0)
        return nullptr;
    for (; *text; ++text) {
        size_t i = 0;
        while (i < n && text[i] &&
               std::toupper(static_cast<unsigned char>(text[i])) ==
                   std::toupper(static_cast<unsigned char>(pattern[i])))
            ++i;
        if (i == n)
            return text;
    }
    return nullptr;
}

bool skip_blanks(const char** cursor) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(*cursor);
    while (*p >= 1 && *p <= 32 && *p != '\n')
        ++p;
    *cursor = reinterpret_cast<const char*>(p);
    return *p == '\n' || *p == '\0';
}

const char* find_bytes(const char* data, size_t size, const char* needle, size_t needle_size) {
    if (needle_size == 0 || size < needle_size)
        return nullptr;
    const char* last = data + (size - needle_size);
    for (const char* p = data; p <= last;) {
        p = static_cast<const char*>(std::memchr(p, needle[0], static_cast<size_t>(last - p) + 1));
        if (!p)
            return nullptr;
        if (std::memcmp(p + 1, needle + 1, needle_size - 1) == 0)
            return p;
        ++p;
    }
    return nullptr;
}

int32_t read_decimal(const char* text, const char** end) {
    const char* p = text;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    if (!std::isdigit(static_cast<unsigned char>(*p))) {
        if (end)
            *end = text;
        return 0;
    }
    const int64_t limit = negative ? -static_cast<int64_t>(INT32_MIN) : INT32_MAX;
    int64_t value = 0;
    for (; std::isdigit(static_cast<unsigned char>(*p)); ++p) {
        if (value < limit)
            value = value * 10 + (*p - '0');
        if (value > limit)
            value = limit;
    }
    if (end)
        *end = p;
    return static_cast<int32_t>(negative ? -value : value);
}
