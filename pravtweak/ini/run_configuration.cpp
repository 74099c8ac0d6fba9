#include "run_configuration.h"

#include <cstdlib>

RunConfiguration runConfiguration;

namespace {

const char* iniPath = nullptr;

std::vector<qIni_space::INIMAP> readSectionMaps(const qIni_space::qIni& ini, const char* kind,
                                                int32_t count) {
    std::vector<qIni_space::INIMAP> maps;
    for (int32_t number = 1; number <= count; ++number)
        maps.push_back(ini.getSectionMap(sectionName(kind, number)));
    return maps;
}

}  // namespace

const char* setIniPath(const char* path) {
    return iniPath = path;
}

void loadRunConfiguration() {
    qIni_space::qIni ini(iniPath ? iniPath : "");
    static bool registered = false;
    if (!registered)
        registered = atexit(releaseRunMaps) == 0;

    RunConfiguration& rc = runConfiguration;
    // The help text shows mapnumber under [prav]: it counts there too, when
    // [pravtweak] gives none.
    rc.mapCount =
        ini.getInt("pravtweak", "mapnumber", ini.getInt("prav", "mapnumber", rc.mapCount));
    if (rc.mapCount < 1)
        rc.mapCount = 1;
    if (rc.mapCount > 99)
        rc.mapCount = 99;
    rc.modelName = ini.getString("prav", "pipravox");
    rc.xmlPath = ini.getString("prav", "xml");
    unquote(rc.modelName);
    unquote(rc.xmlPath);
    rc.volumeMaps = readSectionMaps(ini, "volume", rc.mapCount);
    rc.panMaps = readSectionMaps(ini, "pan", rc.mapCount);
    rc.soundfontMaps = readSectionMaps(ini, "soundfont", rc.mapCount);
}

void releaseRunMaps() {
    runConfiguration.volumeMaps.clear();
    runConfiguration.panMaps.clear();
    runConfiguration.soundfontMaps.clear();
}

std::string sectionName(const char* kind, int32_t mapNumber) {
    std::string name = kind;
    if (mapNumber != 1)
        name += std::to_string(mapNumber);
    return name;
}

void unquote(std::string& text) {
    if (!text.empty() && text.front() == '"' && text.back() == '"') {
        text.pop_back();
        if (!text.empty())
            text.erase(0, 1);
    }
}
