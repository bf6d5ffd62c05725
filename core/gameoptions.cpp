#include "core/gameoptions.h"

#include "base/log.h"
#include "core/system.h"
#include "input/inputevent.h"
#include "resources/softwarerenderer.h"
#include "scene/watertable.h"
#include "sound/soundsystem.h"
#include "ui/textscale.h"

#include <algorithm>
#include <cstring>

namespace {

const char* const kSource = "options";

bool namesQuality(const char* argument) {
    return argument != nullptr && (std::strcmp(argument, "full") == 0 || std::strcmp(argument, "fast") == 0);
}

} // namespace

GameOptions::GameOptions(WaterTable& table, const char* qualityArgument) : table(table) {
    // The text size is the application's one: a new package starts from Normal.
    TextScale::setSize(values.textSize);
    const SceneQuality quality = SceneQuality::choose(qualityArgument, isSoftwareRenderer());
    log(NOTE, kSource, quality.describe(qualityArgument));
    table.setQuality(quality);
    if (namesQuality(qualityArgument)) {
        values.quality = quality.getLevel() == SceneQuality::Level::Full ? OptionValues::Quality::Full
                                                                         : OptionValues::Quality::Fast;
    }
    values.fullScreen = System::instance()->isFullscreen();
}

OptionValues GameOptions::getOptions() const {
    OptionValues current = values;
    // H in the game switches the same value.
    current.moveHints = table.getSceneOptions().moveHints;
    return current;
}

void GameOptions::setOptions(const OptionValues& newValues) {
    const OptionValues old = getOptions();
    chosen.quality = chosen.quality || newValues.quality != old.quality;
    chosen.fullScreen = chosen.fullScreen || newValues.fullScreen != old.fullScreen;
    chosen.scale = chosen.scale || newValues.scale != old.scale;
    applyOptions(newValues);
}

void GameOptions::applyOptions(const OptionValues& newValues) {
    const OptionValues old = getOptions();
    values = newValues;
    values.volume = std::clamp(values.volume, 0, OptionValues::kVolumeSteps);
    if (values.quality != old.quality) {
        SceneQuality quality;
        if (values.quality == OptionValues::Quality::Automatic) {
            quality = SceneQuality::choose(nullptr, isSoftwareRenderer());
            log(NOTE, kSource, quality.describe(nullptr));
        } else {
            quality = SceneQuality(values.quality == OptionValues::Quality::Full ? SceneQuality::Level::Full
                                                                                 : SceneQuality::Level::Fast);
            log(NOTE, kSource, std::string("quality: ") + quality.name() + " (options menu)");
        }
        table.setQuality(quality);
    }
    if (values.fullScreen != old.fullScreen) {
        System::instance()->setFullscreen(values.fullScreen);
    }
    if (values.volume != old.volume) {
        SoundSystem::instance()->setVolume(static_cast<float>(values.volume) / OptionValues::kVolumeSteps);
    }
    table.getSceneOptions().moveHints = values.moveHints;
    TextScale::setSize(values.textSize);
    if (values.scale != old.scale && scaleHook) {
        scaleHook(values.scale);
    }
}

bool GameOptions::isMuted() const {
    return SoundSystem::instance()->isMuted();
}

void GameOptions::setMuted(bool muted) {
    SoundSystem::instance()->setMuted(muted);
}

void GameOptions::handleEvent(InputEvent& e) {
    const auto* key = dynamic_cast<const InputEventKeyDown*>(&e);
    if (key != nullptr && (key->getKey() == 'm' || key->getKey() == 'M') && !(typing && typing())) {
        e.consume();
        setMuted(!isMuted());
        log(NOTE, kSource, isMuted() ? "sound muted (M)" : "sound on again (M)");
    }
}
