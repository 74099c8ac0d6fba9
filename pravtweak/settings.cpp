#include "settings.h"

int apply_all_settings() {
    if (apply_volume_settings() != 0) return 37;
    if (apply_pan_settings() != 0) return 37;
    if (apply_soundfont_settings() != 0) return 37;
    return 0;
}

// The passes themselves change nothing yet.
int apply_volume_settings() { return 0; }
int apply_pan_settings() { return 0; }
int apply_soundfont_settings() { return 0; }
