#pragma once

#include "graph/connection.h"

#include <map>
#include <string>

class Plug;

// The registered joins of plugs, kept by identifier. One registry serves the
// process: a plug that disconnects itself finds it here.
class PlugConnections {
public:
    static PlugConnections& instance();

    PlugConnections() = default;
    PlugConnections(const PlugConnections&) = delete;
    PlugConnections& operator=(const PlugConnections&) = delete;

    // Neither plug is told.
    void connect(int id, const std::string& name, Plug* a, Plug* b);
    void disconnect(int id);
    Connection* findConnection(int id);

private:
    std::map<int, Connection> connections;
};
