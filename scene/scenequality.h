#pragma once

#include <string>

// How much of the scene's detail a frame pays for. Full draws everything as
// described; Fast gives up what shows least on a renderer without a graphics
// card: smaller water pictures, each refreshed every other frame, and
// low-detail figures from a shorter distance.
class SceneQuality {
public:
    enum class Level { Full, Fast };

    static constexpr int kFullPassSize = 512;
    static constexpr int kFastPassSize = 256;
    static constexpr float kFullLowDetailDistance = 70.0f;
    static constexpr float kFastLowDetailDistance = 50.0f;

    SceneQuality() = default;
    explicit SceneQuality(Level level) : level(level) {}

    // argument: the command line's "full" or "fast", or null for the
    // automatic choice (Fast on a software renderer). Anything else is
    // refused with a warning in the log and the automatic choice taken.
    static SceneQuality choose(const char* argument, bool softwareRenderer);

    Level getLevel() const { return level; }
    const char* name() const { return level == Level::Full ? "full" : "fast"; }
    int passSize() const { return level == Level::Full ? kFullPassSize : kFastPassSize; }
    // The water pictures are drawn on alternate frames, one each, so a frame
    // pays for at most one of them.
    bool alternatesPasses() const { return level == Level::Fast; }
    float lowDetailDistance() const {
        return level == Level::Full ? kFullLowDetailDistance : kFastLowDetailDistance;
    }
    // The log's line, e.g. "quality: fast (chosen for the software renderer)".
    std::string describe(const char* argument) const;

private:
    Level level = Level::Full;
};
