#pragma once

#include "graph/plug.h"

// The rules' side of a table connection: it needs figures created and tells
// which figure was selected. The mirror image of Table.
class GameLogic : public Plug {
public:
    bool isSequential() const override { return false; }
    void getRequired(std::set<std::string>& out) const override { out.insert("createFigure|i"); }
    void getProvided(std::set<std::string>& out) const override { out.insert("selectedFigure|i"); }
};
