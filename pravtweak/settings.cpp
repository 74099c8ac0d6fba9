#include "settings.h"

#include "exit_status.h"
#include "pan_settings.h"
#include "soundfont_settings.h"
#include "volume_settings.h"

int apply_all_settings() {
    if (apply_volume_settings() != 0)
        return SettingsFailed;
    if (apply_pan_settings() != 0)
        return SettingsFailed;
    if (apply_soundfont_settings() != 0)
        return SettingsFailed;
    return 0;
}
