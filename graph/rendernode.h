#pragma once

class RenderGraph;

// Base of everything drawn. A node is linked while the render graph reaches it
// from a root; it acquires its resources in attach() and releases them in
// detach().
class RenderNode {
public:
    RenderNode() = default;
    RenderNode(const RenderNode&) = delete;
    RenderNode& operator=(const RenderNode&) = delete;
    // Leaves the graph that linked it, so no frame draws a destroyed node.
    virtual ~RenderNode();

    // elapsed: the frame time in seconds.
    virtual void render(double elapsed, float) = 0;
    // Calls linkChild() for each node to be drawn with this one, in order.
    virtual void linkChildren() = 0;
    virtual bool renderBeforeChildren() const { return true; }
    virtual bool consumeBeforeChildren() const { return false; }
    virtual void attach() = 0;
    // May run a second time without a new attach().
    virtual void detach() = 0;

    RenderGraph* getGraph() const;
    bool isLinked() const { return graph != nullptr; }
    void linkChild(RenderNode* child);

private:
    friend class RenderGraph;
    void linkTo(RenderGraph* linkingGraph);
    void unlink();
    void forgetGraph() { graph = nullptr; }

    RenderGraph* graph = nullptr; // not owned: the graph that linked this node
};
