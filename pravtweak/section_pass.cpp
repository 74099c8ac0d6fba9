#include "section_pass.h"

#include "ini/run_configuration.h"
#include "messages.h"
#include "run_state.h"

std::string current_section;

void set_section_name(const char* base, int32_t map_number) {
    current_section = sectionName(base, map_number);
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

RankRecord* rank_for_key(const std::string& key) {
    RankRecord* rank = find_rank_by_name(key.c_str());
    if (!rank)
        complain(false, "pravtweak %d [%s]: didn't find rank %s.", line_number,
                 current_section.c_str(), key.c_str());
    return rank;
}
