#pragma once

#include <string>
#include <vector>

// The game's command line: sporrik [window] [path=<asset directory>] [--help].
// The arguments are given whole, the program name first.
namespace CommandLine {

extern const char* const kUsage;

bool asksForHelp(const std::vector<std::string>& arguments);
// The arguments after the program name that the game does not know, in order.
std::vector<std::string> unknownArguments(const std::vector<std::string>& arguments);

} // namespace CommandLine
