#include "scene/scenesound.h"

#include "base/log.h"
#include "base/tools.h"
#include "sound/soundsystem.h"

SceneSound::SceneSound(const std::string& fileName) {
    SoundSystem* sound = SoundSystem::instance();
    if (!sound->isInitialized()) {
        return;
    }
    sample = sound->addSample(fileName);
    if (sample == nullptr) {
        log(WARNING, "WaterTable", "sound " + fileName + " not loaded; it stays silent");
    }
}

SceneSound::~SceneSound() {
    if (sample != nullptr) {
        SoundSystem::instance()->removeSample(sample);
    }
}

void SceneSound::play() const {
    if (sample != nullptr) {
        sample->play();
    }
}
