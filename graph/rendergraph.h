#pragma once

#include <functional>
#include <list>
#include <map>
#include <set>
#include <vector>

class EventConsumer;
class RenderNode;

// Orders drawing and input each frame. From a few prioritised roots it rebuilds
// on every update() the render list and the list of event consumers; each node
// pulls in its own children. Owns no node.
class RenderGraph {
public:
    // Receives the consumer list at the end of every update(); the
    // application hands it to its input dispatch (System::setEventConsumers).
    using ConsumerSink = std::function<void(const std::list<EventConsumer*>&)>;

    RenderGraph(int x, int y, int width, int height);
    RenderGraph(const RenderGraph&) = delete;
    RenderGraph& operator=(const RenderGraph&) = delete;
    // Nodes still linked are told they are not any more, so none keeps a
    // pointer to a destroyed graph.
    ~RenderGraph();

    // Takes effect at the next update(). False when n is already a root.
    bool addRoot(RenderNode* n, int priority);
    // Unlinks n at once; false when n is not a root.
    bool removeRoot(RenderNode* n);
    void clearRoots();

    void update();
    // Null for none: the list is then only kept (getConsumerList).
    void setConsumerSink(ConsumerSink sink);
    void render(double elapsed);

    void setViewport(int x, int y, int width, int height);
    int getViewportWidth() const { return viewportWidth; }
    int getViewportHeight() const { return viewportHeight; }

    // Called by a node's destructor.
    void remove(RenderNode* n);

    const std::vector<RenderNode*>& getRenderList() const { return renderList; }
    const std::list<EventConsumer*>& getConsumerList() const { return consumerList; }
    bool isRoot(const RenderNode* n) const;

private:
    friend class RenderNode;
    using Roots = std::multimap<int, RenderNode*>;

    Roots::const_iterator findRoot(const RenderNode* n) const;
    void visit(RenderNode* n);
    void dropFromLists(RenderNode* n);

    std::set<RenderNode*> linked;
    std::set<RenderNode*> stale;
    std::vector<RenderNode*> toUnlink;
    Roots roots;
    // Entries of nodes removed while the list is drawn become null until the
    // drawing pass ends.
    std::vector<RenderNode*> renderList;
    std::list<EventConsumer*> consumerList;
    // The consumer side of each node in consumerList; a node's destructor can
    // no longer find it by cast.
    std::map<RenderNode*, EventConsumer*> consumerOfNode;
    ConsumerSink consumerSink;
    bool rendering = false;
    int viewportX;
    int viewportY;
    int viewportWidth;
    int viewportHeight;
};
