// The pan pass: stereo positions of ranks from the [pan] sections.
#pragma once

#include <cstdint>
#include <string>

#include "ini/qini.h"

// Left-side MIDI pan of each pan step; entry s - 1 holds step s, 64 - 8 * s.
extern const int32_t pan_steps[8];

enum class PanSide { left, centre, right };

// Applies [pan], [pan2] ... up to the run configuration's map count;
// always 0.
int apply_pan_settings();

// Moves left- and right-panned ranks to the section's "else", "left" and
// "right" defaults, then sets each rank that a key selects; a bad rank value
// is reported and leaves the rank's pan, bad defaults are silent. Centred
// ranks keep their pan under the defaults. Always 0; a null map changes
// nothing.
int apply_pan_section(const qIni_space::INIMAP* map);

// A MIDI pan 0 to 127, or -1 when the entry's value is no pan. Plain values
// (default keys) are an amount alone; the others start with a side letter
// C, L or R, or with "m".
int pan_value(const qIni_space::INIMAP::value_type& entry, bool plain);

// The amount at the first digit or "m" of the text: "m" and a MIDI pan
// (limited to 0..127), or the left-side value of a step 1 to 8; -1 when there
// is none or the number is no step.
int pan_amount(const char* text);

// The right-side image of a pan value (limited to 0..127 first, never above
// 127); -1 stays -1.
int mirror_pan(int pan);

PanSide pan_side(int pan);

// False for the default keys "else", "left" and "right", in any letter case.
bool is_pan_rank_key(const std::string& key);
