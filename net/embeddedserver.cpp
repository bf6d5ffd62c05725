#include "net/embeddedserver.h"

#include "base/exceptions.h"
#include "base/log.h"
#include "net/gamestore.h"

namespace {

const char* const kSource = "EmbeddedServer";

} // namespace

EmbeddedServer::EmbeddedServer(Server::Options given) : options(std::move(given)) {
    if (options.databasePath.empty()) {
        options.databasePath = Server::defaultDatabasePath(kDatabaseName);
    }
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
    return true;
}

void EmbeddedServer::stop() {
    if (!isRunning()) {
        return;
    }
    stopping = true;
    thread.join();
    server.reset();
}
