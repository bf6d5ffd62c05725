#include "graph/plugconnections.h"

#include "base/exceptions.h"
#include "graph/plug.h"

PlugConnections& PlugConnections::instance() {
    static PlugConnections registry;
    return registry;
}

void PlugConnections::connect(int id, const std::string& name, Plug* a, Plug* b) {
    if (a == nullptr || !a->canConnect(b, name, true)) {
        throw IllegalArgumentException("can not connect plugs");
    }
    if (connections.count(id) != 0) {
        throw IllegalArgumentException("a connection with the same identifier already exists");
    }
    Connection& connection = connections[id];
    connection.receiver = a->isSequential() ? b : a;
    connection.sender = a->isSequential() ? a : b;
    connection.id = id;
}

void PlugConnections::disconnect(int id) {
    if (connections.erase(id) == 0) {
        throw NotFoundException("connection not found.");
    }
}

Connection* PlugConnections::findConnection(int id) {
    const auto found = connections.find(id);
    return found == connections.end() ? nullptr : &found->second;
}
