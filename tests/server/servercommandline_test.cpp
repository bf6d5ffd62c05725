#include "base/log.h"
#include "server/servercommandline.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Action = ServerCommandLine::Action;

TEST(ServerCommandLine, EachArgumentIsReadWholeAndChecked) {
    const struct {
        std::vector<std::string> arguments;
        Action action;
        const char* reason; // a part of it
    } cases[] = {
        {{}, Action::Serve, ""},
        {{"--port", "0", "--db", "/x/y.db", "--max-games", "10", "--away-hours", "2", "--join-burst", "3000",
          "--log-level", "debug"},
         Action::Serve,
         ""},
        {{"--port", "65536"}, Action::Refuse, "--port takes"},
        {{"--port", "-1"}, Action::Refuse, "--port takes"},
        {{"--port", "80x"}, Action::Refuse, "--port takes"},
        {{"--port"}, Action::Refuse, "--port needs a value"},
        {{"--max-games", "0"}, Action::Refuse, "--max-games takes"},
        {{"--max-peers", "4096"}, Action::Refuse, "--max-peers takes"},
        {{"--away-hours", "0"}, Action::Refuse, "--away-hours takes"},
        {{"--join-burst", "0"}, Action::Refuse, "--join-burst takes"},
        {{"--log-level", "loud"}, Action::Refuse, "--log-level takes"},
        {{"--db", ""}, Action::Refuse, "--db needs a path"},
        {{"--verbose"}, Action::Refuse, "unknown argument \"--verbose\""},
        {{"--port", "1", "--help", "--bogus"}, Action::Help, ""},
        {{"--version"}, Action::Version, ""},
    };
    for (const auto& c : cases) {
        const ServerCommandLine::Parsed parsed = ServerCommandLine::parse(c.arguments);
        const std::string name = c.arguments.empty() ? "(none)" : c.arguments[0];
        EXPECT_EQ(parsed.action, c.action) << name << ": " << parsed.reason;
        EXPECT_NE(parsed.reason.find(c.reason), std::string::npos) << name << ": " << parsed.reason;
    }
    const auto parsed = ServerCommandLine::parse(cases[1].arguments);
    EXPECT_EQ(parsed.options.port, 0);
    EXPECT_EQ(parsed.options.databasePath, "/x/y.db");
    EXPECT_EQ(parsed.options.limits.maxGames, 10u);
    EXPECT_EQ(parsed.options.limits.awayLimit, 2 * 3600.0);
    EXPECT_EQ(parsed.options.limits.joinBurst, 3000.0);
    EXPECT_EQ(parsed.logLevel, DEBUG);
}

TEST(ServerCommandLine, TheDefaultDatabase_LivesInTheStateFolder) {
    const char* const saved = std::getenv("XDG_STATE_HOME");
    const std::string restore = saved != nullptr ? saved : "";
    setenv("XDG_STATE_HOME", "/srv/state", 1);
    const auto parsed = ServerCommandLine::parse({});
    EXPECT_EQ(parsed.options.databasePath, "/srv/state/sporrik/server.db");
    EXPECT_EQ(parsed.options.port, Protocol::kDefaultPort);
    if (saved != nullptr) {
        setenv("XDG_STATE_HOME", restore.c_str(), 1);
    } else {
        unsetenv("XDG_STATE_HOME");
    }
}

} // namespace
