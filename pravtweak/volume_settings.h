// The volume pass: MIDI volumes of ranks from the [volume] sections.
#pragma once

#include <cstdint>

#include "ini/qini.h"

// MIDI volume of each volume step; entry k - 1 holds step k, 8 * k - 1.
extern const int32_t volume_steps[16];

// Applies [volume], [volume2] ... up to the run configuration's map count;
// always 0.
int apply_volume_settings();

// Sets the volume of every rank from "else", then of each rank that a key
// selects; a bad value is reported and gives volume 0. Always 0; a null map
// changes nothing.
int apply_volume_section(const qIni_space::INIMAP* map);

// The MIDI volume 0 to 127 that an entry's value gives: "m" and a MIDI value
// (above 127 gives 127), or a step 1 to 16 (limited to that range); -1 when
// the value is no volume.
int volume_value(const qIni_space::INIMAP::value_type& entry);
