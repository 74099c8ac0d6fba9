#include "soundfont_settings.h"

#include "catalogue.h"
#include "ini/run_configuration.h"
#include "messages.h"
#include "run_state.h"
#include "section_pass.h"
#include "text.h"

using qIni_space::INIMAP;

bool next_number_field(const char** cursor) {
    const char* p = *cursor;
    while (*p && *p != ',')
        ++p;
    if (!*p) {
        *cursor = p;
        return false;
    }
    ++p;
    bool used_up = skip_blanks(&p);
    *cursor = p;
    return !used_up && is_digit(*p);
}

int read_patch_spec(const char* text, int32_t& first, int32_t& second, int32_t& third) {
    const char* p = text;
    if (skip_blanks(&p))
        return -1;
    int32_t a = read_decimal(p);
    if (!next_number_field(&p))
        return -1;
    int32_t b = read_decimal(p);
    if (!next_number_field(&p)) {
        first = a;
        second = b;
        return 2;
    }
    first = a;
    second = b;
    third = read_decimal(p);
    return 3;
}

int apply_soundfont_section(const INIMAP* map) {
    // The bank that two-number values of this section take: its "bank" key,
    // or -1 when it has none. Any negative bank counts as none.
    int32_t default_bank = -1;
    if (!map)
        return 0;
    auto found = map->find("bank");
    if (found != map->end())
        default_bank = found->second.number;

    for (const auto& entry : *map) {
        if (same_nocase(entry.first, "bank"))
            continue;
        RankRecord* rank = rank_for_key(entry.first);
        if (!rank)
            continue;
        int32_t first = 0, second = 0, third = 0;
        switch (read_patch_spec(entry.second.text.c_str(), first, second, third)) {
            case 3:
                rank->bank = first;
                rank->patch1 = second;
                rank->patch2 = third;
                break;
            case 2:
                if (default_bank < 0) {
                    complain(false, "pravtweak %d [%s]: missing bank= for %s=", line_number,
                             current_section.c_str(), rank->name);
                    break;
                }
                rank->bank = default_bank;
                rank->patch1 = first;
                rank->patch2 = second;
                break;
            default:
                complain(false, "pravtweak %d [%s]: something wrong in \"%s=%s\"", line_number,
                         current_section.c_str(), entry.first.c_str(), entry.second.text.c_str());
                break;
        }
    }
    return 0;
}

int apply_soundfont_settings() {
    return apply_sections("soundfont", runConfiguration.soundfontMaps, apply_soundfont_section);
}
