// An INI file read into memory once, answering lookups of single values and
// of whole sections. It never reports anything: an unreadable file or lines
// that fit no rule simply give defaults and empty results.
#pragma once

#include <cstdint>
#include <list>
#include <map>
#include <string>
#include <utility>

namespace qIni_space {

// One value of a section map: the trimmed text and its decimal reading.
struct mapval {
    std::string text;
    int32_t number = 0;
};

using QSTRINGLIST = std::list<std::string>;
// Ordered by byte-wise key comparison: keys differing in case are distinct.
using INIMAP = std::map<std::string, mapval>;
using PAIRMAP = std::pair<std::string, mapval>;

// Copy of text without the white space (blank, tab, LF, VT, FF, CR) around it.
std::string trimmed(const std::string& text);

// Optional sign and leading decimal digits; 0 without digits; a digit run
// too long for 32 bits gives the nearest 32-bit value.
int32_t leadingInt(const std::string& text);

class qIni {
  public:
    explicit qIni(const std::string& fileName);

    // Re-reads the file; an unreadable file leaves the lines unchanged.
    void load();

    // Position of the line after the section's first header, or end().
    QSTRINGLIST::const_iterator findSection(const std::string& section) const;

    // The key's trimmed value in the section's first block; "" when absent.
    std::string findValue(const std::string& section, const std::string& key) const;
    std::string getStringOr(const std::string& section, const std::string& key,
                            const std::string& defaultText) const;
    std::string getString(const std::string& section, const std::string& key,
                          const char* defaultText = nullptr) const;
    // A missing or empty value gives the default; any other text its
    // leading number (0 when it has none).
    int32_t getInt(const std::string& section, const std::string& key, int32_t defaultValue) const;
    // False only for the text "0"; a missing or empty value gives the default.
    bool getBool(const std::string& section, const std::string& key, bool defaultValue) const;

    // Every key/value line of the section; the first of a repeated key wins.
    // Unlike findValue, only a line starting with "[" in its first column
    // ends the section.
    INIMAP getSectionMap(const std::string& section) const;

    const QSTRINGLIST& lines() const { return lines_; }

  private:
    std::string fileName_;
    QSTRINGLIST lines_;
};

}  // namespace qIni_space
