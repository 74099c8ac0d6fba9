// What the volume, pan and soundfont passes share: the walk over one kind's
// section maps, the section name shown in messages, and how a key finds its
// rank. A new pass builds on this file alone.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "catalogue.h"
#include "ini/qini.h"

// Name of the INI section being applied ("volume", "pan3", ...), shown in
// every settings message; keeps its last value after the passes.
extern std::string current_section;

// Names the section of map number map_number: the base name alone for 1,
// the base name and the number from 2 on.
void set_section_name(const char* base, int32_t map_number);

// The section map of map number map_number (1 up), or null when the run
// configuration holds no such map; a missing map counts as an empty one.
const qIni_space::INIMAP* section_map(const std::vector<qIni_space::INIMAP>& maps,
                                      int32_t map_number);

// Applies every section map of one kind by ascending map number, up to the
// run configuration's map count, naming each section first; returns the
// bitwise OR of the section results.
int apply_sections(const char* base, const std::vector<qIni_space::INIMAP>& maps,
                   int (*apply_section)(const qIni_space::INIMAP*));

// The rank that a rank key selects, or null after reporting the key as one
// that names no rank of the current model.
RankRecord* rank_for_key(const std::string& key);
