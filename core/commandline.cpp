#include "core/commandline.h"

#include "base/version.h"

#include <cstdlib>
#include <cstring>

namespace {

const char* const kKnownNames[] = {"window", "path", "quality", "scale", "port", "fps"};
constexpr unsigned long kMaxPort = 65535;
const char* const kReplay = "--replay";
const char* const kExportLast = "--export-last";

// An argument is a name alone or "name=value", as System::getArgument reads it.
bool isKnown(const std::string& argument) {
    for (const std::string name : kKnownNames) {
        if (argument == name || argument.compare(0, name.size() + 1, name + "=") == 0) {
            return true;
        }
    }
    return false;
}

bool isHelp(const std::string& argument) {
    return argument == "--help" || argument == "-h";
}

bool isVersion(const std::string& argument) {
    return argument == "--version";
}

} // namespace

namespace CommandLine {

const char* const kUsage =
    "usage: sporrik [window] [path=<asset directory>] [quality=full|fast] [scale=auto|1|0.75|0.5]\n"
    "               [port=<n>] [fps=<n>] [--replay FILE]\n"
    "       sporrik --export-last | --help | --version\n"
    "  window                  play in a 1024 x 768 window instead of the full screen\n"
    "  path=<asset directory>  read the assets from this folder; without it the game\n"
    "                          takes \"assets\" next to the executable, else the\n"
    "                          installed data folder (share/sporrik), else the\n"
    "                          current directory\n"
    "  quality=full|fast       how much detail the scene draws; without it \"fast\"\n"
    "                          on a software renderer, else \"full\"\n"
    "  scale=auto|1|0.75|0.5   the table scene's picture size against the window;\n"
    "                          \"auto\" (the default) lowers it while frames take\n"
    "                          longer than 16.7 ms on a software renderer\n"
    "  port=<n>                the UDP port a game hosted here is served on\n"
    "                          (default 47621; 0 takes a free one)\n"
    "  fps=<n>                 at most n frames a second (1 to 1000), which spares\n"
    "                          a laptop's battery; without it as many as it makes\n"
    "  --replay FILE           show the kept game in FILE on the table to step\n"
    "                          through (Left, Right, Home, End, Space)\n"
    "  --export-last           print the last kept game to standard output and end\n"
    "  --help                  print this text and end\n"
    "  --version               print the game's and the network protocol's version\n"
    "The log goes to standard error.\n";

bool asksForHelp(const std::vector<std::string>& arguments) {
    for (size_t i = 1; i < arguments.size(); ++i) {
        if (isHelp(arguments[i])) {
            return true;
        }
    }
    return false;
}

bool asksForVersion(const std::vector<std::string>& arguments) {
    for (size_t i = 1; i < arguments.size(); ++i) {
        if (isVersion(arguments[i])) {
            return true;
        }
    }
    return false;
}

bool asksForExport(const std::vector<std::string>& arguments) {
    for (size_t i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == kExportLast) {
            return true;
        }
    }
    return false;
}

std::string versionText() {
    return Version::text("sporrik");
}

bool replayFile(const std::vector<std::string>& arguments, std::string& file) {
    for (size_t i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == kReplay) {
            file = i + 1 < arguments.size() ? arguments[i + 1] : std::string();
            return true;
        }
    }
    return false;
}

bool parseScale(const char* value, OptionValues::Scale& scale) {
    static const struct {
        const char* text;
        OptionValues::Scale scale;
    } kScales[] = {{"auto", OptionValues::Scale::Automatic},
                   {"1", OptionValues::Scale::Full},
                   {"0.75", OptionValues::Scale::ThreeQuarters},
                   {"0.5", OptionValues::Scale::Half}};
    for (const auto& known : kScales) {
        if (value != nullptr && std::strcmp(value, known.text) == 0) {
            scale = known.scale;
            return true;
        }
    }
    return false;
}

bool parseFrameCap(const char* value, int& framesPerSecond) {
    if (value == nullptr || *value == '\0' || std::strlen(value) > 4 ||
        std::strspn(value, "0123456789") != std::strlen(value)) {
        return false;
    }
    const int number = std::atoi(value);
    if (number < 1 || number > kMaxFrameCap) {
        return false;
    }
    framesPerSecond = number;
    return true;
}

bool parsePort(const char* value, uint16_t& port) {
    if (value == nullptr || *value == '\0' || std::strlen(value) > 5 ||
        std::strspn(value, "0123456789") != std::strlen(value)) {
        return false;
    }
    const unsigned long number = std::strtoul(value, nullptr, 10);
    if (number > kMaxPort) {
        return false;
    }
    port = static_cast<uint16_t>(number);
    return true;
}

std::vector<std::string> unknownArguments(const std::vector<std::string>& arguments) {
    std::vector<std::string> unknown;
    for (size_t i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == kReplay) {
            // Its file follows, whatever it is called.
            ++i;
        } else if (!isKnown(arguments[i]) && !isHelp(arguments[i]) && !isVersion(arguments[i]) &&
                   arguments[i] != kExportLast) {
            unknown.push_back(arguments[i]);
        }
    }
    return unknown;
}

} // namespace CommandLine
