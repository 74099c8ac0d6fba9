// The settings applied to the rank table between reading and writing a
// <ranks> section.
#pragma once

// Runs the volume, pan and soundfont passes in that order; 0, or
// SettingsFailed as soon as a pass fails.
int apply_all_settings();
