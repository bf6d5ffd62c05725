#pragma once

#include "graph/plug.h"
#include "graph/rendernode.h"
#include "scene/camera.h"

// Base of a game table scene: a render node, the sequential side of a
// connection to a game logic, and the camera it is seen through.
class Table : public RenderNode, public Plug, public Camera {
public:
    bool isSequential() const override { return true; }
    void getRequired(std::set<std::string>& out) const override { out.insert("selectedFigure|i"); }
    void getProvided(std::set<std::string>& out) const override { out.insert("createFigure|i"); }
    void connected(const std::string&) override {}
    void disconnected(const std::string&) override {}

    // The view alone on the current matrix.
    void applyCamera() const;
};
