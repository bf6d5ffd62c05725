#pragma once

#include "graph/plug.h"
#include "graph/rendernode.h"

// Base of a game table scene: a render node and the sequential side of a
// connection to a game logic.
class Table : public RenderNode, public Plug {
public:
    bool isSequential() const override { return true; }
    void getRequired(std::set<std::string>& out) const override { out.insert("selectedFigure|i"); }
    void getProvided(std::set<std::string>& out) const override { out.insert("createFigure|i"); }
    void connected(const std::string&) override {}
    void disconnected(const std::string&) override {}
};
