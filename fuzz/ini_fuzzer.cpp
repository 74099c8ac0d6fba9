// Any bytes as an INI file: every lookup of the sections and keys the file
// names (and of the ones the editor reads), its section maps, and the run
// configuration loaded from it.
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "ini/qini.h"
#include "ini/run_configuration.h"

using namespace qIni_space;

namespace {

bool is_trimmed(const std::string& text) {
    return trimmed(text) == text;
}

void look_up(const qIni& ini, const std::string& section, const std::vector<std::string>& keys) {
    ini.findSection(section);
    for (const std::string& key : keys) {
        std::string value = ini.findValue(section, key);
        require(is_trimmed(value), "findValue gives trimmed text");
        require(ini.getStringOr(section, key, "-") == (value.empty() ? "-" : value),
                "getStringOr gives the value or the default");
        require(ini.getString(section, key) == value, "getString gives the value");
        require(ini.getInt(section, key, -7) == (value.empty() ? -7 : leadingInt(value)),
                "getInt reads the value or gives the default");
        require(ini.getBool(section, key, true) == (value != "0"), "getBool is false for 0 only");
        std::string quoted = value;
        unquote(quoted);
        require(quoted == value || quoted.size() + 2 == value.size() || quoted.empty(),
                "unquote takes one pair of quotes");
    }
    for (const auto& [key, entry] : ini.getSectionMap(section)) {
        require(is_trimmed(key) && is_trimmed(entry.text) && entry.text.size() <= 1000,
                "section maps hold trimmed keys and values of at most 1000 characters");
        require(entry.number == leadingInt(entry.text), "a map value's number is its reading");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = scratch_file("fuzz.ini");
    write_file(path, std::string(reinterpret_cast<const char*>(data), size));
    qIni ini(path);

    // The names the editor reads, and a few that the file itself holds.
    std::vector<std::string> sections = {"prav", "pravtweak", "volume", "pan2", ""};
    std::vector<std::string> keys = {"pipravox", "xml", "mapnumber", "else", ""};
    for (const std::string& line : ini.lines()) {
        std::string text = trimmed(line);
        if (!text.empty() && text[0] == '[' && sections.size() < 10)
            sections.push_back(text.substr(1, text.find(']') - 1));
        else if (text.find('=') != std::string::npos && keys.size() < 10)
            keys.push_back(trimmed(text.substr(0, text.find('='))));
    }
    for (const std::string& section : sections)
        look_up(ini, section, keys);

    runConfiguration = RunConfiguration();
    setIniPath(path.c_str());
    loadRunConfiguration();
    const RunConfiguration& rc = runConfiguration;
    require(rc.mapCount >= 1 && rc.mapCount <= 99, "the map count is 1 to 99");
    for (auto* maps : {&rc.volumeMaps, &rc.panMaps, &rc.soundfontMaps})
        require(maps->size() == static_cast<size_t>(rc.mapCount), "one map per map number");
    releaseRunMaps();
    return 0;
}
