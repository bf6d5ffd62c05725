#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>

class Command;

// An endpoint that declares by command signature ("name|types") what it needs
// from and offers to a partner. A sequential plug (a scene) joins a
// non-sequential one (a game logic).
class Plug {
public:
    using Connection = std::pair<Plug*, int>; // partner (not owned), identifier

    Plug() = default;
    Plug(const Plug&) = delete;
    Plug& operator=(const Plug&) = delete;
    virtual ~Plug() = default;

    virtual bool isSequential() const = 0;
    virtual void getRequired(std::set<std::string>& out) const = 0;
    virtual void getProvided(std::set<std::string>& out) const = 0;
    virtual bool grants(const std::string& connectionName) const = 0;
    virtual void connected(const std::string& connectionName) = 0;
    virtual void disconnected(const std::string& connectionName) = 0;
    virtual void receive(Command&) {}

    // verbose: log why a connection is refused.
    bool canConnect(Plug* other, const std::string& name, bool verbose);
    bool checkDependencies(Plug* other, bool verbose);

    void addConnection(const std::string& name, int id, Plug* partner);
    void removeConnection(const std::string& name);
    Connection& getConnection(const std::string& name);
    void disconnect(const std::string& name);

private:
    std::map<std::string, Connection> connections;
};
