#include "net/embeddedserver.h"

#include "base/exceptions.h"
#include "base/log.h"
#include "base/version.h"
#include "net/gamestore.h"

#include <climits>
#include <unistd.h>

namespace {

const char* const kSource = "EmbeddedServer";
// How long the answering thread waits for a query before it looks whether to stop.
constexpr uint32_t kAnswerWaitMs = 100;

} // namespace

EmbeddedServer::EmbeddedServer(Server::Options given, uint16_t discoveryPort)
    : options(std::move(given)), discoveryPort(discoveryPort) {
    if (options.databasePath.empty()) {
        options.databasePath = Server::defaultDatabasePath(kDatabaseName);
    }
    options.farewell = Protocol::ErrorCode::HostLeft;
}

EmbeddedServer::~EmbeddedServer() {
    stop();
}

std::unique_ptr<GameStore> EmbeddedServer::openStore() {
    const std::string& path = options.databasePath;
    if (path.empty()) {
        throw InstantiationException("neither XDG_STATE_HOME nor HOME is set: no place for the hosted games");
    }
    std::string reason;
    if (!Server::makeParentFolder(path, reason)) {
        throw InstantiationException(reason);
    }
    try {
        return std::make_unique<GameStore>(path);
    } catch (const InstantiationException& e) {
        // Never lost silently: the file is kept beside for a look, and the
        // player can host again at once.
        if (!GameStore::moveAside(path, reason)) {
            throw InstantiationException(e.getMessage() + "; " + reason);
        }
        log(WARNING, kSource, e.getMessage() + "; moved aside as " + path + ".bad, a new database starts");
    }
    return std::make_unique<GameStore>(path);
}

bool EmbeddedServer::start() {
    if (isRunning()) {
        return true;
    }
    failure.clear();
    try {
        server = std::make_unique<Server>(options, openStore());
    } catch (const InstantiationException& e) {
        failure = e.getMessage();
        log(ERROR, kSource, "not started: " + failure);
        return false;
    }
    boundPort = server->port();
    stopping = false;
    // The server is made on this thread and used only by the new one from here on.
    thread = std::thread([this] { server->run(stopping); });
    std::string reason;
    if (!responder.isOpen() && !responder.open(discoveryPort, reason)) {
        log(WARNING, kSource, reason + ": the game is not listed on the local network");
    }
    if (responder.isOpen()) {
        answering = std::thread([this] {
            while (!stopping.load()) {
                responder.serve(kAnswerWaitMs);
            }
        });
    }
    return true;
}

void EmbeddedServer::advertise(const std::string& code) {
    char name[HOST_NAME_MAX + 1] = {};
    if (gethostname(name, sizeof name - 1) != 0) {
        name[0] = '\0';
    }
    LanDiscovery::Answer game;
    game.protocol = Version::kProtocol;
    game.port = boundPort;
    game.code = code;
    game.name = LanDiscovery::answerName(name);
    responder.advertise(game);
}

void EmbeddedServer::withdraw() {
    responder.withdraw();
}

void EmbeddedServer::stop() {
    if (!isRunning()) {
        return;
    }
    stopping = true;
    thread.join();
    if (answering.joinable()) {
        answering.join();
    }
    responder.withdraw();
    server.reset();
}
