// The soundfont pass: bank and patch numbers of ranks from the [soundfont]
// sections.
#pragma once

#include <cstdint>

#include "ini/qini.h"

// Applies [soundfont], [soundfont2] ... up to the run configuration's map
// count; always 0.
int apply_soundfont_settings();

// Sets bank, patch1 and patch2 together of each rank that a key selects,
// from three numbers or from two and the section's "bank"; a value that
// cannot give all three is reported and leaves the rank alone. Always 0; a
// null map changes nothing.
int apply_soundfont_section(const qIni_space::INIMAP* map);

// Moves the cursor past the next comma and the blanks after it; true when a
// number starting with a digit stands there. A sign is no number here.
bool next_number_field(const char** cursor);

// Reads "bank, patch1, patch2" (returns 3) or "patch1, patch2" (returns 2,
// third untouched) into first, second and third; -1 when the text is no
// soundfont value. Anything after a third number is ignored.
int read_patch_spec(const char* text, int32_t& first, int32_t& second, int32_t& third);
