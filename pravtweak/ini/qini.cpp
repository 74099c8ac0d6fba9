#include "qini.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>

#include "platform.h"
#include "text.h"
#include "utf16.h"

namespace qIni_space {

namespace {

// Removes comments: the line ends at the earliest ";", "#" or "//".
void cut_comment(std::string& line) {
    size_t cut = line.find(';');
    cut = std::min(cut, line.find('#'));
    cut = std::min(cut, line.find("//"));
    if (cut != std::string::npos)
        line.erase(cut);
}

const char skipped_first_characters[] = "~`!#%^&*+=-;:'\".<>/\\|()[]}{,";
const size_t max_value_length = 1000;

// Appends one line of the file, without its line feed, as the lookups see it.
void addLine(QSTRINGLIST& lines, std::string& line, bool endedByLineFeed) {
    // Editors on Windows may begin a UTF-8 file with a byte-order mark.
    if (lines.empty() && line.compare(0, 3, "\xEF\xBB\xBF") == 0)
        line.erase(0, 3);
    // As a Windows text stream reads it: CR LF is the line end, and then one
    // trailing control character goes ("key=x", BEL, CR, LF gives "key=x").
    if (endedByLineFeed && !line.empty() && line.back() == '\r')
        line.pop_back();
    if (!line.empty() && static_cast<unsigned char>(line.back()) < 32)
        line.pop_back();
    cut_comment(line);
    lines.push_back(std::move(line));
    line.clear();
}

}  // namespace

std::string trimmed(const std::string& text) {
    return std::string(trim_white(text));
}

int32_t leadingInt(const std::string& text) {
    return read_decimal(text.c_str());
}

qIni::qIni(const std::string& fileName) : fileName_(fileName) {
    load();
}

void qIni::load() {
    FILE* f = platform::open_regular(fileName_.c_str());
    if (!f)
        return;
    lines_.clear();
    std::string line;
    bool pending = false;
    auto take = [&](const char* data, size_t n) {
        for (size_t i = 0; i < n;) {
            const char* nl = static_cast<const char*>(memchr(data + i, '\n', n - i));
            size_t stop = nl ? static_cast<size_t>(nl - data) : n;
            line.append(data + i, stop - i);
            pending = true;
            i = stop;
            if (nl) {
                ++i;
                addLine(lines_, line, true);
                pending = false;
            }
        }
    };
    // A UTF-16 byte-order mark (FF FE little-endian, FE FF big-endian), as
    // Notepad writes it for "Unicode": the text is turned into UTF-8 first.
    std::unique_ptr<Utf16Decoder> utf16;
    std::string decoded;
    char chunk[4096];
    for (bool first = true;; first = false) {
        size_t n = fread(chunk, 1, sizeof chunk, f);
        if (n == 0)
            break;
        size_t start = 0;
        if (first && n >= 2 && (chunk[0] == '\xFF' || chunk[0] == '\xFE') &&
            chunk[1] == (chunk[0] == '\xFF' ? '\xFE' : '\xFF')) {
            utf16 = std::make_unique<Utf16Decoder>(chunk[0] == '\xFE');
            start = 2;
        }
        if (!utf16) {
            take(chunk, n);
            continue;
        }
        decoded.clear();
        utf16->decode(chunk + start, n - start, decoded);
        take(decoded.data(), decoded.size());
    }
    if (utf16) {
        decoded.clear();
        utf16->finish(decoded);
        take(decoded.data(), decoded.size());
    }
    if (pending)
        addLine(lines_, line, false);
    fclose(f);
}

QSTRINGLIST::const_iterator qIni::findSection(const std::string& section) const {
    const std::string header = "[" + section + "]";
    for (auto it = lines_.begin(); it != lines_.end(); ++it)
        if (starts_nocase(trimmed(*it), header))
            return std::next(it);
    return lines_.end();
}

std::string qIni::findValue(const std::string& section, const std::string& key) const {
    const std::string keyText = key + "=";
    for (auto it = findSection(section); it != lines_.end(); ++it) {
        std::string line = trimmed(*it);
        if (!line.empty() && line[0] == '[')
            return std::string();
        if (starts_nocase(line, keyText))
            return trimmed(line.substr(keyText.size()));
    }
    return std::string();
}

std::string qIni::getStringOr(const std::string& section, const std::string& key,
                              const std::string& defaultText) const {
    std::string value = trimmed(findValue(section, key));
    return value.empty() ? defaultText : value;
}

std::string qIni::getString(const std::string& section, const std::string& key,
                            const char* defaultText) const {
    return getStringOr(section, key, defaultText ? defaultText : "");
}

int32_t qIni::getInt(const std::string& section, const std::string& key,
                     int32_t defaultValue) const {
    return leadingInt(getStringOr(section, key, std::to_string(defaultValue)));
}

bool qIni::getBool(const std::string& section, const std::string& key, bool defaultValue) const {
    std::string value = findValue(section, key);
    if (value.empty())
        return defaultValue;
    return value != "0";
}

INIMAP qIni::getSectionMap(const std::string& section) const {
    INIMAP map;
    for (auto it = findSection(section); it != lines_.end(); ++it) {
        const std::string& line = *it;
        if (!line.empty() && line[0] == '[')
            break;
        if (line.empty() || std::strchr(skipped_first_characters, line[0]))
            continue;
        size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        mapval value;
        value.text = trimmed(line.substr(equals + 1, max_value_length));
        value.number = leadingInt(value.text);
        map.insert(PAIRMAP(trimmed(line.substr(0, equals)), value));
    }
    return map;
}

}  // namespace qIni_space
