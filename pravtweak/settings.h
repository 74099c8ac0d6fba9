// The volume, pan and soundfont passes over the rank table.
#pragma once

// Runs the volume, pan and soundfont passes in that order; 0, or 37 as soon
// as a pass fails.
int apply_all_settings();

int apply_volume_settings();
int apply_pan_settings();
int apply_soundfont_settings();
