#include "core/eventconsumer.h"
#include "core/exceptions.h"
#include "core/system.h"
#include "graph/rendergraph.h"
#include "graph/rendernode.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Journal = std::vector<std::string>;

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
    ~Graph() override { System::instance()->setEventConsumers({}); }

    Journal drawn() {
        journal.clear();
        graph.render(0.1);
        return journal;
    }

    Journal journal;
    RenderGraph graph{0, 0, 640, 480};
};

TEST_F(Graph, RootIsNeitherLinkedNorDrawnBeforeUpdate) {
    Node root("root", journal);
    EXPECT_TRUE(graph.addRoot(&root, 100));
    EXPECT_FALSE(root.isLinked());
    EXPECT_TRUE(drawn().empty());
    graph.update();
    EXPECT_TRUE(root.isLinked());
    EXPECT_EQ(drawn(), (Journal{"render root"}));
}

TEST_F(Graph, SecondAddRootKeepsTheFirstPriority) {
    Node low("low", journal);
    Node high("high", journal);
    graph.addRoot(&low, 100);
    graph.addRoot(&high, 200);
    EXPECT_FALSE(graph.addRoot(&low, 300));
    graph.update();
    EXPECT_EQ(drawn(), (Journal{"render low", "render high"}));
}

TEST_F(Graph, EqualPrioritiesKeepInsertionOrder) {
    Node a("a", journal);
    Node b("b", journal);
    graph.addRoot(&b, 5);
    graph.addRoot(&a, 5);
    graph.update();
    EXPECT_EQ(drawn(), (Journal{"render b", "render a"}));
}

TEST_F(Graph, ParentDrawsFirstAndChildrenConsumeFirst) {
    ConsumerNode root("root", journal);
    ConsumerNode child1("child1", journal);
    ConsumerNode child2("child2", journal);
    root.children = {&child1, &child2};
    graph.addRoot(&root, 1);
    graph.update();
    EXPECT_EQ(drawn(), (Journal{"render root", "render child1", "render child2"}));
    EXPECT_EQ(graph.getConsumerList(), (std::list<EventConsumer*>{&child1, &child2, &root}));
    EXPECT_EQ(System::instance()->getEventConsumers(), graph.getConsumerList());
}

TEST_F(Graph, NodeDrawnAfterChildrenIsLinkedBeforeThem) {
    Node root("root", journal);
    Node child("child", journal);
    root.children = {&child};
    root.drawnFirst = false;
    graph.addRoot(&root, 1);
    graph.update();
    EXPECT_EQ(journal, (Journal{"attach root", "attach child"}));
    EXPECT_EQ(drawn(), (Journal{"render child", "render root"}));
}

TEST_F(Graph, ChildNoLongerLinkedIsDetachedAndLaterAttachedAgain) {
    Node root("root", journal);
    Node child("child", journal);
    root.children = {&child};
    graph.addRoot(&root, 1);
    graph.update();
    journal.clear();
    root.children.clear();
    graph.update();
    EXPECT_EQ(journal, (Journal{"detach child"}));
    EXPECT_FALSE(child.isLinked());
    journal.clear();
    root.children = {&child};
    graph.update();
    EXPECT_EQ(journal, (Journal{"attach child"}));
}

TEST_F(Graph, LinkedNodesAreAttachedOnceAcrossUpdates) {
    Node root("root", journal);
    graph.addRoot(&root, 1);
    graph.update();
    graph.update();
    graph.update();
    EXPECT_EQ(journal, (Journal{"attach root"}));
}

TEST_F(Graph, RemoveRootUnlinksAtOnce) {
    Node root("root", journal);
    EXPECT_FALSE(graph.removeRoot(&root));
    graph.addRoot(&root, 1);
    graph.update();
    journal.clear();
    EXPECT_TRUE(graph.removeRoot(&root));
    EXPECT_EQ(journal, (Journal{"detach root"}));
    EXPECT_FALSE(root.isLinked());
    EXPECT_TRUE(drawn().empty());
}

TEST_F(Graph, RootRemovedAndAddedAgainIsLinkedAgain) {
    Node root("root", journal);
    Node child("child", journal);
    root.children = {&child};
    graph.addRoot(&root, 1);
    graph.update();
    graph.removeRoot(&root);
    graph.addRoot(&root, 1);
    journal.clear();
    EXPECT_NO_THROW(graph.update());
    EXPECT_TRUE(root.isLinked());
    EXPECT_EQ(journal, (Journal{"attach root"}));
}

TEST_F(Graph, ClearRootsUnlinksEveryRoot) {
    Node a("a", journal);
    Node b("b", journal);
    graph.addRoot(&a, 1);
    graph.addRoot(&b, 2);
    graph.update();
    journal.clear();
    graph.clearRoots();
    EXPECT_EQ(journal, (Journal{"detach a", "detach b"}));
    graph.update();
    EXPECT_TRUE(drawn().empty());
}

TEST_F(Graph, DroppedNodeKeepsNoGraphPointer) {
    Node root("root", journal);
    auto child = std::make_unique<Node>("child", journal);
    root.children = {child.get()};
    graph.addRoot(&root, 1);
    graph.update();
    root.children.clear();
    graph.update();
    EXPECT_THROW(child->getGraph(), IllegalStateException);
}

TEST_F(Graph, DestroyedLinkedNodeLeavesBothLists) {
    ConsumerNode root("root", journal);
    auto child = std::make_unique<ConsumerNode>("child", journal);
    root.children = {child.get()};
    graph.addRoot(&root, 1);
    graph.update();
    child.reset();
    EXPECT_EQ(drawn(), (Journal{"render root"}));
    EXPECT_EQ(graph.getConsumerList(), (std::list<EventConsumer*>{&root}));
}

TEST_F(Graph, NodeDestroyedWhileTheListIsDrawnIsNotDrawn) {
    Node first("first", journal);
    auto second = std::make_unique<Node>("second", journal);
    Node third("third", journal);
    first.onRender = [&] {
        second.reset();
    };
    graph.addRoot(&first, 1);
    graph.addRoot(second.get(), 2);
    graph.addRoot(&third, 3);
    graph.update();
    EXPECT_EQ(drawn(), (Journal{"render first", "render third"}));
    EXPECT_EQ(graph.getRenderList().size(), 2u);
}

TEST_F(Graph, GraphDestroyedFirstLeavesNodesUnlinked) {
    Node root("root", journal);
    {
        RenderGraph shortLived(0, 0, 10, 10);
        shortLived.addRoot(&root, 1);
        shortLived.update();
        EXPECT_TRUE(root.isLinked());
    }
    EXPECT_FALSE(root.isLinked());
}

TEST_F(Graph, UnlinkedNodeRefusesGraphAndChildren) {
    Node lonely("lonely", journal);
    Node child("child", journal);
    try {
        lonely.linkChild(&child);
        FAIL() << "no exception";
    } catch (const IllegalStateException& e) {
        EXPECT_EQ(e.getMessage(), "node not linked into rendergraph");
    }
    EXPECT_THROW(lonely.getGraph(), IllegalStateException);
}

TEST_F(Graph, ConsumerReachedTwiceMakesUpdateThrow) {
    ConsumerNode root("root", journal);
    ConsumerNode child("child", journal);
    root.children = {&child, &child};
    graph.addRoot(&root, 1);
    EXPECT_THROW(graph.update(), IllegalArgumentException);
}

TEST_F(Graph, ViewportIsStoredForNodes) {
    graph.setViewport(0, 0, 1920, 1080);
    EXPECT_EQ(graph.getViewportWidth(), 1920);
    EXPECT_EQ(graph.getViewportHeight(), 1080);
}

} // namespace
