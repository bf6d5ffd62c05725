#include "graph/rendernode.h"

#include "base/exceptions.h"
#include "graph/rendergraph.h"

namespace {
const char* const kNotLinked = "node not linked into rendergraph";
}

RenderNode::~RenderNode() {
    if (graph != nullptr) {
        graph->remove(this);
    }
}

RenderGraph* RenderNode::getGraph() const {
    if (graph == nullptr) {
        throw IllegalStateException(kNotLinked);
    }
    return graph;
}

void RenderNode::linkChild(RenderNode* child) {
    getGraph()->visit(child);
}

void RenderNode::linkTo(RenderGraph* linkingGraph) {
    graph = linkingGraph;
    attach();
}

void RenderNode::unlink() {
    detach();
    graph = nullptr;
}
