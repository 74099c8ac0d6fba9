#include "volume_settings.h"

#include <algorithm>

#include "catalogue.h"
#include "ini/run_configuration.h"
#include "messages.h"
#include "run_state.h"
#include "section_pass.h"
#include "text.h"

using qIni_space::INIMAP;

const int32_t volume_steps[16] = {7,  15, 23, 31, 39,  47,  55,  63,
                                  71, 79, 87, 95, 103, 111, 119, 127};

int volume_value(const INIMAP::value_type& entry) {
    const char* s = entry.second.text.c_str();
    if (s[0] == 'm') {
        if (!is_digit(s[1]))
            return -1;
        return std::min(read_decimal(s + 1), 127);
    }
    if (!is_digit(s[0]))
        return -1;
    int32_t step = std::clamp(entry.second.number, 1, 16);
    return volume_steps[step - 1];
}

int apply_volume_section(const INIMAP* map) {
    if (!map)
        return 0;
    auto found = map->find("else");
    if (found != map->end()) {
        int v = volume_value(*found);
        if (v == -1) {
            complain(false, "pravtweak %d [%s]: bad else volume (%s).", line_number,
                     current_section.c_str(), found->second.text.c_str());
            v = 0;
        }
        if (current_model)
            for (int32_t i = 0; i < current_model->rank_count; ++i)
                current_model->ranks[i].volume = v;
    }
    for (const auto& entry : *map) {
        if (entry.first == "else")
            continue;
        RankRecord* rank = rank_for_key(entry.first);
        if (!rank)
            continue;
        int v = volume_value(entry);
        if (v == -1) {
            complain(false, "pravtweak %d [%s]: bad %s volume (%s).", line_number,
                     current_section.c_str(), entry.first.c_str(), entry.second.text.c_str());
            v = 0;
        }
        rank->volume = v;
    }
    return 0;
}

int apply_volume_settings() {
    return apply_sections("volume", runConfiguration.volumeMaps, apply_volume_section);
}
