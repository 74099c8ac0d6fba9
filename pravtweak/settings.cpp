#include "settings.h"

#include <cctype>
#include <cstring>

#include "messages.h"
#include "pan_settings.h"
#include "run_configuration.h"
#include "run_state.h"
#include "soundfont_settings.h"
#include "volume_settings.h"

std::string current_section;

int apply_all_settings() {
    if (apply_volume_settings() != 0)
        return 37;
    if (apply_pan_settings() != 0)
        return 37;
    if (apply_soundfont_settings() != 0)
        return 37;
    return 0;
}

void set_section_name(const char* base, int32_t map_number) {
    current_section = base;
    if (map_number != 1)
        current_section += std::to_string(map_number);
}

const qIni_space::INIMAP* section_map(const std::vector<qIni_space::INIMAP>& maps,
                                      int32_t map_number) {
    if (map_number < 1 || static_cast<size_t>(map_number) > maps.size())
        return nullptr;
    return &maps[static_cast<size_t>(map_number) - 1];
}

int apply_sections(const char* base, const std::vector<qIni_space::INIMAP>& maps,
                   int (*apply_section)(const qIni_space::INIMAP*)) {
    int result = 0;
    for (int32_t k = 1; k <= runConfiguration.mapCount; ++k) {
        set_section_name(base, k);
        result |= apply_section(section_map(maps, k));
    }
    return result;
}

bool same_word_nocase(const std::string& key, const char* word) {
    if (key.size() != std::strlen(word))
        return false;
    for (size_t i = 0; i < key.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(key[i])) != word[i])
            return false;
    return true;
}

RankRecord* rank_for_key(const std::string& key) {
    RankRecord* rank = find_rank_by_name(key.c_str());
    if (!rank)
        complain(false, "pravtweak %d [%s]: didn't find rank %s.", line_number,
                 current_section.c_str(), key.c_str());
    return rank;
}
