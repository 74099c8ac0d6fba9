// What one run of the organ editor reads from its INI file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "qini.h"

struct RunConfiguration {
    // Number of volume/pan/soundfont section sets, 1 to 99 once loaded.
    int32_t mapCount = 3;
    std::string modelName;
    std::string xmlPath;
    // Slot 0 holds [volume], slot i holds [volume<i+1>]; likewise pan and
    // soundfont. An absent section is an empty map.
    std::vector<qIni_space::INIMAP> volumeMaps;
    std::vector<qIni_space::INIMAP> panMaps;
    std::vector<qIni_space::INIMAP> soundfontMaps;
};

extern RunConfiguration runConfiguration;

// Records the INI file to load (the argument itself, not a copy).
const char* setIniPath(const char* path);

// Fills runConfiguration from the recorded INI file; an unreadable file
// leaves every value at its default.
void loadRunConfiguration();

// Releases the section maps; registered to run at program exit.
void releaseRunMaps();

// The name of section number mapNumber of a kind: the kind alone for 1,
// the kind and the number from 2 on ("volume", "volume2", ...).
std::string sectionName(const char* kind, int32_t mapNumber);

// Removes one pair of enclosing double quotes.
void unquote(std::string& text);
