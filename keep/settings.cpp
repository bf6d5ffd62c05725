#include "keep/settings.h"

#include "keep/initext.h"

#include <cstdio>

namespace {

const char* const kQualityNames[] = {"automatic", "full", "fast", nullptr};
const char* const kScaleNames[] = {"automatic", "full", "three-quarters", "half", nullptr};
const char* const kTextSizeNames[] = {"small", "normal", "large", "huge", nullptr};
const char* const kWindowNames[] = {"window", "full-screen", nullptr};
const char* const kBlendNames[] = {"manual", "automatic", nullptr};
const char* const kFigureNames[] = {"spheres", "models", nullptr};
const char* const kKindNames[] = {"computer", "human", nullptr};
// Indexed by level - 1.
const char* const kLevelNames[] = {"easy", "hard", "expert", nullptr};

// Beyond these the file was not written by the game; the scene clamps to its
// own narrower ranges.
constexpr float kMaxAngle = 1.0e6f;
constexpr float kMaxDistance = 1.0e4f;

// names[index], or the first name for an index off the list.
const char* choice(const char* const* names, int index) {
    for (int i = 0; names[i] != nullptr; ++i) {
        if (i == index) {
            return names[i];
        }
    }
    return names[0];
}

const char* flag(bool on) {
    return on ? "on" : "off";
}

// Round-trips a float exactly, in the C locale the game runs in.
std::string number(float value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.9g", static_cast<double>(value));
    return buffer;
}

} // namespace

std::string Settings::format() const {
    std::string text;
    text += "# Sporrik's settings, written by the game.\n";
    text += "[sporrik]\nversion = " + std::to_string(kVersion) + "\n";
    text += "\n[options]\n";
    text += std::string("quality = ") + choice(kQualityNames, options.quality) + "\n";
    text += std::string("scale = ") + choice(kScaleNames, options.scale) + "\n";
    text += std::string("window = ") + kWindowNames[options.fullScreen ? 1 : 0] + "\n";
    text += "volume = " + std::to_string(options.volume) + "\n";
    text += std::string("move-hints = ") + flag(options.moveHints) + "\n";
    text += std::string("text-size = ") + choice(kTextSizeNames, options.textSize) + "\n";
    text += "\n[view]\n";
    text += std::string("blend = ") + kBlendNames[view.autoBlend ? 1 : 0] + "\n";
    text += "manual-blend = " + number(view.blendManual) + "\n";
    text += std::string("caustics = ") + flag(view.caustics) + "\n";
    text += std::string("fog = ") + flag(view.fog) + "\n";
    text += std::string("added-reflection = ") + flag(view.addReflection) + "\n";
    text += std::string("figures = ") + kFigureNames[view.models ? 1 : 0] + "\n";
    text += std::string("fluid-overlay = ") + flag(view.fluidOverlay) + "\n";
    text += "\n[camera]\n";
    text += "angle = " + number(camera.azimuth) + "\n";
    text += "elevation = " + number(camera.elevation) + "\n";
    text += "distance = " + number(camera.distance) + "\n";
    text += "\n[network]\n";
    text += "server = " + network.server + "\n";
    // A word last: a file cut short loses a key or spoils a word.
    text += "\n[new-game]\n";
    text += std::string("player1 = ") + kKindNames[newGame.human1 ? 1 : 0] + "\n";
    text += std::string("player2 = ") + kKindNames[newGame.human2 ? 1 : 0] + "\n";
    text += std::string("level = ") + choice(kLevelNames, newGame.level - 1) + "\n";
    return text;
}

std::optional<Settings> Settings::parse(const std::string& text, std::string& reason) {
    IniText ini;
    if (!ini.parseVersion(text, kVersion, reason)) {
        return std::nullopt;
    }
    Settings s;
    int window = 0, blend = 0, figures = 0, kind1 = 0, kind2 = 0, level = 0;
    long volume = 0;
    const bool complete =
        ini.getChoice("options", "quality", kQualityNames, s.options.quality, reason) &&
        ini.getChoice("options", "scale", kScaleNames, s.options.scale, reason) &&
        ini.getChoice("options", "window", kWindowNames, window, reason) &&
        ini.getInt("options", "volume", 0, Options::kMaxVolume, volume, reason) &&
        ini.getFlag("options", "move-hints", s.options.moveHints, reason) &&
        // Files from before the text size have no such key.
        (ini.find("options", "text-size") == nullptr ||
         ini.getChoice("options", "text-size", kTextSizeNames, s.options.textSize, reason)) &&
        ini.getChoice("view", "blend", kBlendNames, blend, reason) &&
        ini.getFloat("view", "manual-blend", 0.0f, 1.0f, s.view.blendManual, reason) &&
        ini.getFlag("view", "caustics", s.view.caustics, reason) &&
        ini.getFlag("view", "fog", s.view.fog, reason) &&
        ini.getFlag("view", "added-reflection", s.view.addReflection, reason) &&
        ini.getChoice("view", "figures", kFigureNames, figures, reason) &&
        ini.getFlag("view", "fluid-overlay", s.view.fluidOverlay, reason) &&
        ini.getFloat("camera", "angle", -kMaxAngle, kMaxAngle, s.camera.azimuth, reason) &&
        ini.getFloat("camera", "elevation", -kMaxAngle, kMaxAngle, s.camera.elevation, reason) &&
        ini.getFloat("camera", "distance", 0.0f, kMaxDistance, s.camera.distance, reason) &&
        ini.getChoice("new-game", "player1", kKindNames, kind1, reason) &&
        ini.getChoice("new-game", "player2", kKindNames, kind2, reason) &&
        ini.getChoice("new-game", "level", kLevelNames, level, reason);
    if (!complete) {
        return std::nullopt;
    }
    if (const std::string* server = ini.find("network", "server")) {
        // Letters, digits and what an address holds between them, as the forms take it.
        const bool typed = server->size() <= Network::kMaxServerLength &&
                           server->find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                                     "0123456789.:-") == std::string::npos;
        if (!typed) {
            reason = "[network] server is not an address";
            return std::nullopt;
        }
        s.network.server = *server;
    }
    s.options.fullScreen = window == 1;
    s.options.volume = static_cast<int>(volume);
    s.view.autoBlend = blend == 1;
    s.view.models = figures == 1;
    s.newGame.human1 = kind1 == 1;
    s.newGame.human2 = kind2 == 1;
    s.newGame.level = level + 1;
    return s;
}
