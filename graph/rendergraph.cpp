#include "graph/rendergraph.h"

#include "graph/rendernode.h"
#include "input/eventconsumer.h"

#include <algorithm>
#include <cassert>

RenderGraph::RenderGraph(int x, int y, int width, int height)
    : viewportX(x), viewportY(y), viewportWidth(width), viewportHeight(height) {}

RenderGraph::~RenderGraph() {
    for (RenderNode* node : linked) {
        node->forgetGraph();
    }
}

bool RenderGraph::addRoot(RenderNode* n, int priority) {
    if (n == nullptr || isRoot(n)) {
        return false;
    }
    roots.emplace(priority, n);
    return true;
}

RenderGraph::Roots::const_iterator RenderGraph::findRoot(const RenderNode* n) const {
    return std::find_if(roots.begin(), roots.end(), [n](const auto& root) { return root.second == n; });
}

bool RenderGraph::isRoot(const RenderNode* n) const {
    return findRoot(n) != roots.end();
}

bool RenderGraph::removeRoot(RenderNode* n) {
    const auto root = findRoot(n);
    if (root == roots.end()) {
        return false;
    }
    roots.erase(root);
    // Forgotten at once, so that the node is linked again when it comes back
    // as a root before the next update().
    linked.erase(n);
    stale.erase(n);
    dropFromLists(n);
    n->unlink();
    return true;
}

void RenderGraph::clearRoots() {
    while (!roots.empty()) {
        removeRoot(roots.begin()->second);
    }
}

void RenderGraph::update() {
    renderList.clear();
    consumerList.clear();
    consumerOfNode.clear();
    stale = linked;
    // Copy: a node's linkChildren() may add or remove roots.
    std::vector<RenderNode*> rootNodes;
    for (const auto& root : roots) {
        rootNodes.push_back(root.second);
    }
    for (RenderNode* root : rootNodes) {
        visit(root);
    }
    toUnlink.assign(stale.begin(), stale.end());
    stale.clear();
    // One at a time: a detach() may destroy another node, which then leaves
    // this list through remove().
    while (!toUnlink.empty()) {
        RenderNode* node = toUnlink.front();
        toUnlink.erase(toUnlink.begin());
        const size_t erased = linked.erase(node);
        assert(erased == 1);
        (void)erased;
        node->unlink();
    }
    if (consumerSink) {
        consumerSink(consumerList);
    }
}

void RenderGraph::setConsumerSink(ConsumerSink sink) {
    consumerSink = std::move(sink);
}

void RenderGraph::visit(RenderNode* n) {
    auto* consumer = dynamic_cast<EventConsumer*>(n);
    const bool consumeFirst = n->consumeBeforeChildren();
    const bool renderFirst = n->renderBeforeChildren();
    // A node is linked before its children ask for the graph, whichever order
    // it is drawn in.
    if (linked.insert(n).second) {
        n->linkTo(this);
    }
    stale.erase(n);
    const auto addConsumer = [&] {
        if (consumer != nullptr) {
            consumerList.push_back(consumer);
            consumerOfNode[n] = consumer;
        }
    };
    if (consumeFirst) {
        addConsumer();
    }
    if (renderFirst) {
        renderList.push_back(n);
    }
    n->linkChildren();
    if (!consumeFirst) {
        addConsumer();
    }
    if (!renderFirst) {
        renderList.push_back(n);
    }
}

void RenderGraph::render(double elapsed) {
    rendering = true;
    for (size_t i = 0; i < renderList.size(); ++i) {
        if (renderList[i] != nullptr) {
            renderList[i]->render(elapsed, 0.5f);
        }
    }
    rendering = false;
    renderList.erase(std::remove(renderList.begin(), renderList.end(), nullptr), renderList.end());
}

void RenderGraph::setViewport(int x, int y, int width, int height) {
    viewportX = x;
    viewportY = y;
    viewportWidth = width;
    viewportHeight = height;
}

void RenderGraph::remove(RenderNode* n) {
    if (linked.erase(n) == 0) {
        return;
    }
    stale.erase(n);
    dropFromLists(n);
    const auto root = findRoot(n);
    if (root != roots.end()) {
        roots.erase(root);
    }
    const auto pending = std::find(toUnlink.begin(), toUnlink.end(), n);
    if (pending != toUnlink.end()) {
        toUnlink.erase(pending);
    }
}

void RenderGraph::dropFromLists(RenderNode* n) {
    if (rendering) {
        std::replace(renderList.begin(), renderList.end(), n, static_cast<RenderNode*>(nullptr));
    } else {
        renderList.erase(std::remove(renderList.begin(), renderList.end(), n), renderList.end());
    }
    const auto consumer = consumerOfNode.find(n);
    if (consumer != consumerOfNode.end()) {
        const auto entry = std::find(consumerList.begin(), consumerList.end(), consumer->second);
        if (entry != consumerList.end()) {
            consumerList.erase(entry);
        }
        consumerOfNode.erase(consumer);
    }
}
