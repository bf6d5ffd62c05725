#pragma once

#include <optional>
#include <string>

// What the player set, kept between runs. Plain values: the application
// hands them to the options, the scene and the new-game menu, which clamp
// them to their own ranges.
struct Settings {
    static constexpr int kVersion = 1;
    // Far above what the file needs; more is refused unread.
    static constexpr std::size_t kMaxFileSize = 16 * 1024;
    static constexpr const char* kFileName = "settings.ini";

    // The options menu's values, as indices of its choices.
    struct Options {
        static constexpr int kMaxVolume = 16;
        int quality = 0; // automatic, full, fast
        int scale = 0;   // automatic, full, three-quarters, half
        bool fullScreen = true;
        int volume = 4; // 0 (off) to kMaxVolume
        bool moveHints = true;
        int textSize = 1; // small, normal, large, huge
        bool operator==(const Options& o) const {
            return quality == o.quality && scale == o.scale && fullScreen == o.fullScreen &&
                   volume == o.volume && moveHints == o.moveHints && textSize == o.textSize;
        }
    };
    // The water and figure keys F2, F3, F4, F6, F7 and F9, and the manual blend.
    struct View {
        bool autoBlend = true;
        bool caustics = true;
        bool fog = true;
        bool addReflection = false;
        bool models = true;
        bool fluidOverlay = true;
        float blendManual = 0.5f;
        bool operator==(const View& o) const {
            return autoBlend == o.autoBlend && caustics == o.caustics && fog == o.fog &&
                   addReflection == o.addReflection && models == o.models && fluidOverlay == o.fluidOverlay &&
                   blendManual == o.blendManual;
        }
    };
    // The orbit camera: radians and world units.
    struct Camera {
        float azimuth = 1.57075f;
        float elevation = 0.5f;
        float distance = 70.0f;
        bool operator==(const Camera& o) const {
            return azimuth == o.azimuth && elevation == o.elevation && distance == o.distance;
        }
    };
    struct NewGame {
        bool human1 = true;
        bool human2 = false;
        int level = 2; // 1 easy, 2 hard, 3 expert
        bool operator==(const NewGame& o) const {
            return human1 == o.human1 && human2 == o.human2 && level == o.level;
        }
    };

    // The server last played on, as typed: "host" or "host:port"; empty for none.
    struct Network {
        static constexpr std::size_t kMaxServerLength = 70;
        std::string server;
        bool operator==(const Network& o) const { return server == o.server; }
    };

    Options options;
    View view;
    Camera camera;
    NewGame newGame;
    Network network;

    bool operator==(const Settings& o) const {
        return options == o.options && view == o.view && camera == o.camera && newGame == o.newGame &&
               network == o.network;
    }
    bool operator!=(const Settings& o) const { return !(*this == o); }

    std::string format() const;
    // Every key must be there with a value in range (text-size and the
    // network's server, added later, may be missing: Normal, none);
    // otherwise nothing, with the reason set.
    static std::optional<Settings> parse(const std::string& text, std::string& reason);
};
