#include "pan_settings.h"

#include <algorithm>

#include "catalogue.h"
#include "ini/run_configuration.h"
#include "messages.h"
#include "run_state.h"
#include "section_pass.h"
#include "text.h"

using qIni_space::INIMAP;

const int32_t pan_steps[8] = {56, 48, 40, 32, 24, 16, 8, 0};

int mirror_pan(int pan) {
    if (pan == -1)
        return -1;
    pan = std::clamp(pan, 0, 127);
    return pan < 64 ? std::min(128 - pan, 127) : pan;
}

PanSide pan_side(int pan) {
    if (pan < 64)
        return PanSide::left;
    return pan == 64 ? PanSide::centre : PanSide::right;
}

int pan_amount(const char* text) {
    const char* p = text;
    while (*p && !is_digit(*p) && *p != 'm')
        ++p;
    if (!*p)
        return -1;
    if (*p == 'm') {
        ++p;
        skip_blanks(&p);
        return std::clamp(read_decimal(p), 0, 127);
    }
    int32_t step = read_decimal(p);
    if (step < 1 || step > 8)
        return -1;
    return pan_steps[step - 1];
}

int pan_value(const INIMAP::value_type& entry, bool plain) {
    const char* p = entry.second.text.c_str();
    if (skip_blanks(&p))
        return -1;
    if (plain)
        return pan_amount(p);
    switch (*p) {
        case 'C':
        case 'c':
            return 64;
        case 'L':
        case 'l':
            return pan_amount(p);
        case 'R':
        case 'r':
            return mirror_pan(pan_amount(p));
        case 'm':
            return pan_amount(p + 1);
        default:
            return -1;
    }
}

bool is_pan_rank_key(const std::string& key) {
    return !same_nocase(key, "else") && !same_nocase(key, "left") && !same_nocase(key, "right");
}

int apply_pan_section(const INIMAP* map) {
    // The pan values that this section gives to every left-panned and every
    // right-panned rank; -1 when it gives none.
    int32_t left_default = -1;
    int32_t right_default = -1;
    if (!map)
        return 0;
    auto found = map->find("else");
    if (found != map->end()) {
        left_default = pan_value(*found, true);
        right_default = mirror_pan(left_default);
    }
    found = map->find("left");
    if (found != map->end())
        left_default = pan_value(*found, true);
    found = map->find("right");
    if (found != map->end())
        right_default = mirror_pan(pan_value(*found, true));

    if ((left_default >= 0 || right_default >= 0) && current_model) {
        for (int32_t i = 0; i < current_model->rank_count; ++i) {
            RankRecord& rank = current_model->ranks[i];
            PanSide side = pan_side(rank.pan);
            if (side == PanSide::left && left_default >= 0)
                rank.pan = left_default;
            if (side == PanSide::right && right_default >= 0)
                rank.pan = right_default;
        }
    }

    for (const auto& entry : *map) {
        if (!is_pan_rank_key(entry.first))
            continue;
        RankRecord* rank = rank_for_key(entry.first);
        if (!rank)
            continue;
        int v = pan_value(entry, false);
        if (v == -1) {
            complain(false, "pravtweak %d [%s]; bad spec for \"%s\": \"%s\".", line_number,
                     current_section.c_str(), rank->name, entry.second.text.c_str());
            continue;
        }
        rank->pan = v;
    }
    return 0;
}

int apply_pan_settings() {
    return apply_sections("pan", runConfiguration.panMaps, apply_pan_section);
}
