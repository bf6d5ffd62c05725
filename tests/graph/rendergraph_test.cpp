#include "base/exceptions.h"
#include "graph/rendergraph.h"
#include "graph/rendernode.h"
#include "input/eventconsumer.h"
#include "support/thrown.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using Journal = std::vector<std::string>;
using Consumers = std::list<EventConsumer*>;

// A node that writes what happens to it into a shared journal.
class Node : public RenderNode {
public:
    Node(std::string name, Journal& journal) : name(std::move(name)), journal(journal) {}

    void render(double, float) override {
        journal.push_back("render " + name);
        if (onRender) {
            onRender();
        }
    }
    void linkChildren() override {
        for (RenderNode* child : children) {
            linkChild(child);
        }
    }
    bool renderBeforeChildren() const override { return drawnFirst; }
    void attach() override {
        journal.push_back("attach " + name);
        getGraph(); // must not throw while attaching
    }
    void detach() override { journal.push_back("detach " + name); }

    std::string name;
    Journal& journal;
    std::vector<RenderNode*> children;
    bool drawnFirst = true;
    std::function<void()> onRender;
};

class ConsumerNode : public Node, public EventConsumer {
public:
    using Node::Node;
    void handleEvent(InputEvent&) override {}
};

class Graph : public ::testing::Test {
protected:
    Graph() {
        graph.setConsumerSink([this](const Consumers& consumers) { handedOut = consumers; });
    }

    // What the next update links and unlinks, and what a render draws now; each clears the journal first.
    Journal updated() {
        journal.clear();
        graph.update();
        return journal;
    }
    Journal drawn() {
        journal.clear();
        graph.render(0.1);
        return journal;
    }

    Journal journal;
    RenderGraph graph{0, 0, 640, 480};
    Consumers handedOut; // what the graph gave its sink last
};

TEST_F(Graph, Roots_AreLinkedAndDrawnFromTheNextUpdateInPriorityOrder) {
    Node low("low", journal);
    Node high("high", journal);
    Node same("same", journal);
    EXPECT_TRUE(graph.addRoot(&high, 200));
    graph.addRoot(&low, 100);
    graph.addRoot(&same, 200);
    EXPECT_FALSE(graph.addRoot(&high, 50)) << "keeps the first priority";
    EXPECT_FALSE(high.isLinked());
    EXPECT_TRUE(drawn().empty());
    graph.update();
    EXPECT_TRUE(high.isLinked());
    EXPECT_EQ(drawn(), (Journal{"render low", "render high", "render same"}));
}

TEST_F(Graph, Children_AreDrawnAfterTheirParentAndConsumeBeforeIt_UnlessTheParentSaysOtherwise) {
    ConsumerNode root("root", journal);
    ConsumerNode child1("child1", journal);
    ConsumerNode child2("child2", journal);
    Node grandchild("grandchild", journal);
    root.children = {&child1, &child2};
    child2.children = {&grandchild};
    child2.drawnFirst = false;
    graph.addRoot(&root, 1);
    // A node drawn after its children is still linked before them.
    EXPECT_EQ(updated(), (Journal{"attach root", "attach child1", "attach child2", "attach grandchild"}));
    EXPECT_EQ(drawn(), (Journal{"render root", "render child1", "render grandchild", "render child2"}));
    EXPECT_EQ(graph.getConsumerList(), (Consumers{&child1, &child2, &root}));
    EXPECT_EQ(handedOut, graph.getConsumerList());
}

TEST_F(Graph, ChildNoLongerReached_IsDetachedWithoutAGraphAndAttachedWhenReachedAgain) {
    Node root("root", journal);
    Node child("child", journal);
    root.children = {&child};
    graph.addRoot(&root, 1);
    EXPECT_EQ(updated(), (Journal{"attach root", "attach child"}));
    EXPECT_TRUE(updated().empty()) << "nothing changed";
    root.children.clear();
    EXPECT_EQ(updated(), (Journal{"detach child"}));
    EXPECT_EQ(thrownMessage<IllegalStateException>([&] { child.getGraph(); }),
              "node not linked into rendergraph");
    root.children = {&child};
    EXPECT_EQ(updated(), (Journal{"attach child"}));
}

TEST_F(Graph, RemoveRoot_UnlinksAtOnce_AndARootAddedBackIsLinkedAgain) {
    Node root("root", journal);
    Node child("child", journal);
    root.children = {&child};
    EXPECT_FALSE(graph.removeRoot(&root));
    graph.addRoot(&root, 1);
    graph.update();
    journal.clear();
    EXPECT_TRUE(graph.removeRoot(&root));
    EXPECT_EQ(journal, (Journal{"detach root"}));
    EXPECT_EQ(drawn(), (Journal{"render child"})) << "the child goes at the next update";
    graph.addRoot(&root, 1);
    EXPECT_EQ(updated(), (Journal{"attach root"}));
    journal.clear();
    graph.clearRoots();
    EXPECT_EQ(journal, (Journal{"detach root"}));
}

TEST_F(Graph, DestroyedNode_LeavesBothListsAtOnce_EvenWhileTheListIsDrawn) {
    ConsumerNode root("root", journal);
    auto child = std::make_unique<ConsumerNode>("child", journal);
    auto before = std::make_unique<Node>("before", journal);
    auto after = std::make_unique<Node>("after", journal);
    Node last("last", journal);
    root.children = {child.get()};
    // Destroys a node drawn before it and one not drawn yet.
    root.onRender = [&] {
        before.reset();
        after.reset();
    };
    graph.addRoot(before.get(), 0);
    graph.addRoot(&root, 1);
    graph.addRoot(after.get(), 2);
    graph.addRoot(&last, 3);
    graph.update();
    child.reset();
    EXPECT_EQ(graph.getConsumerList(), (Consumers{&root}));
    EXPECT_EQ(drawn(), (Journal{"render before", "render root", "render last"}));
    EXPECT_EQ(graph.getRenderList().size(), 2u);
}

TEST_F(Graph, GraphDestroyedFirst_LeavesItsNodesUnlinked) {
    Node root("root", journal);
    {
        RenderGraph shortLived(0, 0, 10, 10);
        shortLived.addRoot(&root, 1);
        shortLived.update();
        EXPECT_TRUE(root.isLinked());
    }
    EXPECT_FALSE(root.isLinked());
}

} // namespace
