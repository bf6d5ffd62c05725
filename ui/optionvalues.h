#pragma once

#include "ui/textscale.h"

// What the options menu sets. The application applies a change at once and
// keeps the values between runs with its other settings.
struct OptionValues {
    enum class Quality { Automatic, Full, Fast };
    // The table scene's drawing scale: following the frame time, or fixed.
    enum class Scale { Automatic, Full, ThreeQuarters, Half };

    // Off, then louder steps up to the full volume.
    static constexpr int kVolumeSteps = 4;

    // A fixed scale's share of the window per axis, in percent; the full
    // picture for Automatic, which starts there.
    static constexpr int percentOf(Scale fixed) {
        return fixed == Scale::Half ? 50 : fixed == Scale::ThreeQuarters ? 75 : 100;
    }

    Quality quality = Quality::Automatic;
    Scale scale = Scale::Automatic;
    bool fullScreen = true;
    int volume = kVolumeSteps; // 0 (off) to kVolumeSteps
    bool moveHints = true;
    TextScale::Size textSize = TextScale::Size::Normal;

    bool operator==(const OptionValues& o) const {
        return quality == o.quality && scale == o.scale && fullScreen == o.fullScreen && volume == o.volume &&
               moveHints == o.moveHints && textSize == o.textSize;
    }
    bool operator!=(const OptionValues& o) const { return !(*this == o); }
};
