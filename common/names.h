// How a name is spelled for the operating system: whether its bytes are
// UTF-8, and the form of a Windows path that may pass 260 characters.
#pragma once

#include <string>
#include <string_view>

// True when the bytes are well-formed UTF-8: no stray or missing
// continuation bytes, no overlong forms, no UTF-16 surrogates, nothing above
// U+10FFFF. Plain ASCII (and the empty text) is UTF-8.
bool is_valid_utf8(std::string_view bytes);

// The long form of a full Windows path: "\\?\" before a drive path,
// "\\?\UNC\" in place of the "\\" of a network path, with every "/" turned
// into "\" (the long form is taken literally by the system). A path that
// already starts with "\\?\" or "\\.\", and a relative one, comes back
// unchanged; the caller makes a path full first.
std::wstring long_path_form(const std::wstring& full_path);
