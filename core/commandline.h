#pragma once

#include "ui/optionvalues.h"

#include <cstdint>
#include <string>
#include <vector>

// The game's command line: sporrik [window] [path=<asset directory>]
// [quality=full|fast] [scale=auto|1|0.75|0.5] [port=<n>] [fps=<n>] [--replay FILE] [--export-last]
// [--help] [--version]. The arguments are given whole, the program name first.
namespace CommandLine {

extern const char* const kUsage;

bool asksForHelp(const std::vector<std::string>& arguments);
// --version: the game's and the network protocol's version, as
// sporrik-server --version prints them.
bool asksForVersion(const std::vector<std::string>& arguments);
std::string versionText();
bool asksForExport(const std::vector<std::string>& arguments);
// The FILE of --replay FILE: false without --replay; an empty file when
// --replay is the last word.
bool replayFile(const std::vector<std::string>& arguments, std::string& file);
// The arguments after the program name that the game does not know, in order.
std::vector<std::string> unknownArguments(const std::vector<std::string>& arguments);
// The scale named by scale='s value; false (and scale untouched) for
// anything else.
bool parseScale(const char* value, OptionValues::Scale& scale);
// The port of port='s value, 0 to 65535 (0: a free one); false (and port
// untouched) for anything else.
bool parsePort(const char* value, uint16_t& port);
constexpr int kMaxFrameCap = 1000;
// The frames a second of fps='s value, 1 to kMaxFrameCap; false (and
// framesPerSecond untouched) for anything else.
bool parseFrameCap(const char* value, int& framesPerSecond);

} // namespace CommandLine
