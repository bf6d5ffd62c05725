#include "graph/plug.h"

#include "base/exceptions.h"
#include "base/log.h"
#include "base/tools.h"
#include "graph/plugconnections.h"

#include <cassert>

namespace {
const char* const kSource = "Plug";
}

bool Plug::canConnect(Plug* other, const std::string& name, bool verbose) {
    if (other == nullptr || isSequential() == other->isSequential()) {
        if (verbose) {
            log(WARNING, kSource, "only sequential and non-sequential plugs can be connected.");
        }
        return false;
    }
    if (!grants(name) || !other->grants(name)) {
        if (verbose) {
            log(WARNING, kSource, "connection with this name is not granted.");
        }
        return false;
    }
    return checkDependencies(other, verbose) && other->checkDependencies(this, verbose);
}

bool Plug::checkDependencies(Plug* other, bool verbose) {
    std::set<std::string> required;
    std::set<std::string> provided;
    getRequired(required);
    other->getProvided(provided);
    std::set<std::string> missing;
    for (const std::string& signature : required) {
        if (provided.count(signature) == 0) {
            missing.insert(signature);
        }
    }
    if (missing.empty()) {
        return true;
    }
    if (verbose) {
        log(WARNING, kSource, "Can not resolve dependencies from Plug " + className(typeid(*this)) + ":");
        for (const std::string& signature : missing) {
            log(WARNING, kSource, signature);
        }
    }
    return false;
}

void Plug::addConnection(const std::string& name, int id, Plug* partner) {
    assert(connections.count(name) == 0);
    connections[name] = Connection(partner, id);
    connected(name);
}

void Plug::removeConnection(const std::string& name) {
    assert(connections.count(name) == 1);
    connections.erase(name);
    disconnected(name);
}

Plug::Connection& Plug::getConnection(const std::string& name) {
    const auto found = connections.find(name);
    if (found == connections.end()) {
        throw NotFoundException("connection not found");
    }
    return found->second;
}

void Plug::disconnect(const std::string& name) {
    PlugConnections::instance().disconnect(getConnection(name).second);
}
