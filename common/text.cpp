#include "text.h"

#include <cctype>
#include <cstring>

std::string_view trim_white(std::string_view text) {
    size_t first = 0, last = text.size();
    while (first < last && is_white(text[first]))
        ++first;
    while (last > first && is_white(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

bool equal_nocase(const char* a, const char* b, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool starts_nocase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equal_nocase(text.data(), prefix.data(), prefix.size());
}

bool same_nocase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && equal_nocase(a.data(), b.data(), a.size());
}

const char* find_nocase(const char* text, const char* pattern) {
    size_t n = std::strlen(pattern);
    if (n == 0)
        return nullptr;
    size_t size = std::strlen(text);
    for (size_t i = 0; i + n <= size; ++i)
        if (equal_nocase(text + i, pattern, n))
            return text + i;
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
    if (!is_digit(*p)) {
        if (end)
            *end = text;
        return 0;
    }
    const int64_t limit = negative ? -static_cast<int64_t>(INT32_MIN) : INT32_MAX;
    int64_t value = 0;
    for (; is_digit(*p); ++p) {
        if (value < limit)
            value = value * 10 + (*p - '0');
        if (value > limit)
            value = limit;
    }
    if (end)
        *end = p;
    return static_cast<int32_t>(negative ? -value : value);
}
