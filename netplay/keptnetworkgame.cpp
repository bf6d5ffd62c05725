#include "netplay/keptnetworkgame.h"

#include "keep/initext.h"
#include "net/joincode.h"
#include "net/netclient.h"
#include "net/protocol.h"
#include "net/rulesgame.h"

namespace {

const char* const kHostedNames[] = {"no", "yes", nullptr};
constexpr long kMaxPort = 65535;

} // namespace

std::string KeptNetworkGame::format() const {
    std::string text = "# Sporrik's network game in progress, written by the game.\n";
    text += "[sporrik]\nversion = " + std::to_string(kVersion) + "\n";
    text += "\n[moves]\ncount = " + std::to_string(moves.size()) + "\n";
    for (size_t i = 0; i < moves.size(); ++i) {
        text += std::to_string(i + 1) + " = " + moves[i] + "\n";
    }
    // Last, so that a file cut short lacks a key of it.
    text += "\n[network]\n";
    text += "server = " + server.host + "\n";
    text += "port = " + std::to_string(server.port) + "\n";
    text += "code = " + code + "\n";
    text += "token = " + token + "\n";
    text += "seat = " + std::to_string(seat) + "\n";
    text += std::string("hosted = ") + kHostedNames[hosted ? 1 : 0] + "\n";
    return text;
}

std::optional<KeptNetworkGame> KeptNetworkGame::parse(const std::string& text, std::string& reason) {
    IniText ini;
    if (!ini.parseVersion(text, kVersion, reason)) {
        return std::nullopt;
    }
    KeptNetworkGame game;
    long port = 0, seat = 0, count = 0;
    int hosted = 0;
    const std::string* server = ini.require("network", "server", reason);
    const std::string* code = server != nullptr ? ini.require("network", "code", reason) : nullptr;
    const std::string* token = code != nullptr ? ini.require("network", "token", reason) : nullptr;
    if (token == nullptr || !ini.getInt("network", "port", 1, kMaxPort, port, reason) ||
        !ini.getInt("network", "seat", 1, 2, seat, reason) ||
        !ini.getChoice("network", "hosted", kHostedNames, hosted, reason) ||
        !ini.getInt("moves", "count", 0, static_cast<long>(Protocol::kMaxMoves), count, reason)) {
        return std::nullopt;
    }
    if (!ServerAddress::isHostName(*server)) {
        reason = "[network] server is not a host name or an IPv4 address";
        return std::nullopt;
    }
    const std::optional<std::string> canonical = JoinCode::parse(*code);
    if (!canonical || *canonical != *code) {
        reason = "[network] code is not a join code";
        return std::nullopt;
    }
    if (!NetClient::tokenFromText(*token)) {
        reason = "[network] token is not a seat token";
        return std::nullopt;
    }
    if (ini.countKeys("moves") != count + 1) {
        reason = "[moves] does not hold " + std::to_string(count) + " moves";
        return std::nullopt;
    }
    RulesGame rules;
    for (long n = 1; n <= count; ++n) {
        const std::string* move = ini.find("moves", std::to_string(n));
        if (move == nullptr || !rules.play(*move)) {
            reason = "[moves] " + std::to_string(n) + " is not a move the rules take there";
            return std::nullopt;
        }
        game.moves.push_back(*move);
    }
    game.server = {*server, static_cast<uint16_t>(port)};
    game.code = *code;
    game.token = *token;
    game.seat = static_cast<int>(seat);
    game.hosted = hosted == 1;
    return game;
}
