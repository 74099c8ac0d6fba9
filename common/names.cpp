#include "names.h"

#include <algorithm>

bool is_valid_utf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        unsigned char lead = *p++;
        if (lead < 0x80)
            continue;
        // The number of continuation bytes, and the range the first of them
        // must fall in so that the form is neither overlong, nor a
        // surrogate, nor above U+10FFFF.
        size_t more;
        unsigned char low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            more = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            more = 2;
            if (lead == 0xE0)
                low = 0xA0;
            if (lead == 0xED)
                high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            more = 3;
            if (lead == 0xF0)
                low = 0x90;
            if (lead == 0xF4)
                high = 0x8F;
        } else {
            return false;
        }
        if (static_cast<size_t>(end - p) < more || *p < low || *p > high)
            return false;
        for (size_t i = 1; i < more; ++i)
            if ((p[i] & 0xC0) != 0x80)
                return false;
        p += more;
    }
    return true;
}

namespace {

bool is_slash(wchar_t c) {
    return c == L'\\' || c == L'/';
}

}  // namespace

std::wstring long_path_form(const std::wstring& full_path) {
    const std::wstring& p = full_path;
    bool unc = p.size() > 2 && is_slash(p[0]) && is_slash(p[1]);
    if (unc && (p[2] == L'?' || p[2] == L'.') && (p.size() == 3 || is_slash(p[3])))
        return p;  // already a long or a device path
    bool drive = p.size() > 2 && p[1] == L':' && is_slash(p[2]) &&
                 ((p[0] >= L'A' && p[0] <= L'Z') || (p[0] >= L'a' && p[0] <= L'z'));
    if (!unc && !drive)
        return p;
    std::wstring form = unc ? L"\\\\?\\UNC\\" + p.substr(2) : L"\\\\?\\" + p;
    std::replace(form.begin(), form.end(), L'/', L'\\');
    return form;
}
