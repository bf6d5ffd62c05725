#include "base/exceptions.h"
#include "game/gamelogic.h"
#include "graph/command.h"
#include "graph/commandbuffer.h"
#include "graph/plugconnections.h"
#include "graph/rendergraph.h"
#include "graph/rendernode.h"
#include "input/eventconsumer.h"
#include "scene/table.h"
#include "support/logcapture.h"
#include "support/thrown.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// A malformed definition is refused and leaves the command as it was; calls
// that break the command's contract are refused, naming the rule.
TEST(Command, MalformedDefinitionsAndBrokenContracts_AreRefusedNamingTheRule) {
    Command command;
    const auto refusal = [&command](void (*call)(Command&)) {
        return thrownMessage<IllegalStateException>([&] { call(command); });
    };
    EXPECT_EQ(refusal([](Command& c) { c.getInt(); }), "command not created");
    command.define("ping");
    EXPECT_EQ(command.getDefinition(), "ping[]");
    command.define("move[is]");
    EXPECT_STREQ(command.getName(), "move");
    command.addInt(3);
    const char* const texts[] = {"", "[i]", "a[x]", "a[i", "a]", "a[i]]", "a[b]c]", "a[[i]", nullptr};
    for (const char* text : texts) {
        EXPECT_EQ(thrownMessage<IllegalArgumentException>([&] { command.define(text); }),
                  "illegal command definition")
            << (text != nullptr ? text : "null");
    }
    EXPECT_EQ(command.getDefinition(), "move[is]");
    EXPECT_EQ(refusal([](Command& c) { c.addInt(2); }), "illegal parameter type");
    command.addString("s");
    EXPECT_EQ(refusal([](Command& c) { c.addString("t"); }), "too many parameters");
    EXPECT_EQ(refusal([](Command& c) { c.getInt(); }), "command is not open");
    command.open(nullptr);
    EXPECT_EQ(refusal([](Command& c) { c.open(nullptr); }), "command is open");
    EXPECT_EQ(refusal([](Command& c) { c.define("b"); }), "command is open");
    EXPECT_EQ(refusal([](Command& c) { c.getString(); }), "illegal format requested");
    EXPECT_EQ(command.getInt(), 3);
    EXPECT_STREQ(command.getString(), "s");
    EXPECT_EQ(refusal([](Command& c) { c.getInt(); }), "no parameter to return");
}

// The buffer keeps copies, which own their parameters; a null string reads as empty.
TEST(CommandBuffer, HandsOutCopiesOfWhatWasPushedInOrder_EmptyHasNone) {
    int marker = 0;
    CommandBuffer buffer;
    {
        std::string text = "kept";
        Command command;
        command.define("all[idssp]");
        command.addInt(-7);
        command.addDouble(2.5);
        command.addString(text.c_str());
        command.addString(nullptr);
        command.addPointer(&marker);
        buffer.push(command);
        command.define("b");
        buffer.push(command);
        text = "gone";
    }
    Command copy = buffer.next();
    copy.open(&marker);
    EXPECT_EQ(copy.getSender(), &marker);
    EXPECT_EQ(copy.getInt(), -7);
    EXPECT_EQ(copy.getDouble(), 2.5);
    EXPECT_STREQ(copy.getString(), "kept");
    EXPECT_STREQ(copy.getString(), "");
    EXPECT_EQ(copy.getPointer(), &marker);
    EXPECT_STREQ(buffer.next().getName(), "b");
    EXPECT_EQ(thrownMessage<NotFoundException>([&] { buffer.next(); }), "no command available");
}

using Journal = std::vector<std::string>;

class Logic : public GameLogic {
public:
    bool grants(const std::string& name) const override { return name == "game"; }
    void connected(const std::string& name) override { journal.push_back("connected " + name); }
    void disconnected(const std::string& name) override { journal.push_back("disconnected " + name); }

    Journal journal;
};

// Grants "game" only; with grantsNothing, refuses every name as the game's own table does.
class Scene : public Table {
public:
    void render(double, float) override {}
    void linkChildren() override {}
    void attach() override {}
    void detach() override {}
    bool grants(const std::string& name) const override { return !grantsNothing && name == "game"; }
    void getRequired(std::set<std::string>& out) const override {
        Table::getRequired(out);
        out.insert(extraRequired.begin(), extraRequired.end());
    }

    bool grantsNothing = false;
    std::set<std::string> extraRequired;
};

// Provides what a game logic needs, so only the plugs' kind tells two apart.
class AnyLogic : public Logic {
public:
    void getProvided(std::set<std::string>& out) const override {
        Logic::getProvided(out);
        Scene().getProvided(out);
    }
};

// Plugs connect only where they are of two kinds, both grant the name and each
// provides what the other needs; the connection's receiver is the
// non-sequential plug.
TEST(Plug, CanConnect_ChecksKindGrantsAndDependencies_TheReceiverIsTheNonSequentialPlug) {
    Scene scene;
    Logic logic;
    EXPECT_TRUE(scene.canConnect(&logic, "game", true));
    EXPECT_TRUE(logic.canConnect(&scene, "game", true));
    LogCapture capture;
    AnyLogic any, another;
    EXPECT_FALSE(any.canConnect(&another, "game", true)) << "two plugs of one kind, nothing else missing";
    EXPECT_FALSE(logic.canConnect(&scene, "other", true));
    scene.grantsNothing = true;
    EXPECT_FALSE(scene.canConnect(&logic, "game", true));
    EXPECT_FALSE(logic.canConnect(&scene, "game", true)) << "the partner's grant counts too";
    PlugConnections* system = &PlugConnections::instance();
    EXPECT_THROW(system->connect(1, "game", &scene, &logic), IllegalArgumentException);
    scene.grantsNothing = false;
    // Both sides' needs are checked, the asking plug's and its partner's.
    scene.extraRequired = {"zoom|d"};
    EXPECT_FALSE(logic.canConnect(&scene, "game", true));
    EXPECT_TRUE(capture.has("zoom|d")) << "the missing dependency is named";
    scene.extraRequired.clear();
    system->connect(1, "game", &scene, &logic);
    const Connection* connection = system->findConnection(1);
    ASSERT_NE(connection, nullptr);
    EXPECT_EQ(connection->receiver, &logic);
    EXPECT_EQ(connection->sender, &scene);
    EXPECT_TRUE(logic.journal.empty()) << "neither plug is told";
    for (const auto& [a, b] :
         {std::pair<Plug*, Plug*>{nullptr, &logic}, {&logic, nullptr}, {&logic, &scene}}) {
        EXPECT_THROW(system->connect(1, "game", a, b), IllegalArgumentException);
    }
    logic.addConnection("game", 1, &scene);
    EXPECT_EQ(logic.getConnection("game"), Plug::Connection(&scene, 1));
    logic.disconnect("game");
    EXPECT_EQ(system->findConnection(1), nullptr);
    logic.removeConnection("game");
    EXPECT_EQ(logic.journal, (Journal{"connected game", "disconnected game"}));
    EXPECT_THROW(logic.getConnection("game"), NotFoundException);
    EXPECT_THROW(system->disconnect(1), NotFoundException);
}

using Consumers = std::list<EventConsumer*>;

// A node and consumer that writes what happens to it into a shared journal.
class Node : public RenderNode, public EventConsumer {
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
    void handleEvent(InputEvent&) override {}

    std::string name;
    Journal& journal;
    std::vector<RenderNode*> children;
    bool drawnFirst = true;
    std::function<void()> onRender;
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

// Roots are linked and drawn from the next update, in priority order;
// children are drawn after their parent and consume before it, unless the
// parent says otherwise, and are linked after it either way.
TEST_F(Graph, RootsInPriorityOrder_ChildrenDrawnAfterTheirParentAndConsumingBeforeIt) {
    Node low("low", journal);
    Node high("high", journal);
    Node same("same", journal);
    Node child1("child1", journal);
    Node child2("child2", journal);
    Node grandchild("grandchild", journal);
    high.children = {&child1, &child2};
    child2.children = {&grandchild};
    child2.drawnFirst = false;
    EXPECT_TRUE(graph.addRoot(&high, 200));
    graph.addRoot(&low, 100);
    graph.addRoot(&same, 200);
    EXPECT_FALSE(graph.addRoot(&high, 50)) << "keeps the first priority";
    EXPECT_TRUE(drawn().empty());
    EXPECT_EQ(updated(), (Journal{"attach low", "attach high", "attach child1", "attach child2",
                                  "attach grandchild", "attach same"}));
    EXPECT_EQ(drawn(), (Journal{"render low", "render high", "render child1", "render grandchild",
                                "render child2", "render same"}));
    EXPECT_EQ(graph.getConsumerList(), (Consumers{&low, &child1, &grandchild, &child2, &high, &same}));
    EXPECT_EQ(handedOut, graph.getConsumerList());
}

// A child no longer reached is detached (without a graph) at the next update
// and attached when reached again; a removed root is unlinked at once, its
// child at the next update; a graph destroyed first leaves its nodes unlinked.
TEST_F(Graph, UnreachedChildAndRemovedRoot_AreDetached_AndAttachedWhenBack) {
    Node root("root", journal);
    Node child("child", journal);
    root.children = {&child};
    EXPECT_FALSE(graph.removeRoot(&root));
    graph.addRoot(&root, 1);
    EXPECT_EQ(updated(), (Journal{"attach root", "attach child"}));
    EXPECT_TRUE(updated().empty()) << "nothing changed";
    root.children.clear();
    EXPECT_EQ(updated(), (Journal{"detach child"}));
    EXPECT_THROW(child.getGraph(), IllegalStateException);
    root.children = {&child};
    EXPECT_EQ(updated(), (Journal{"attach child"}));
    journal.clear();
    EXPECT_TRUE(graph.removeRoot(&root));
    EXPECT_EQ(journal, (Journal{"detach root"}));
    EXPECT_EQ(drawn(), (Journal{"render child"})) << "the child goes at the next update";
    graph.addRoot(&root, 1);
    EXPECT_EQ(updated(), (Journal{"attach root"}));
    journal.clear();
    graph.clearRoots();
    EXPECT_EQ(journal, (Journal{"detach root"}));
    EXPECT_EQ(updated(), (Journal{"detach child"}));
    {
        RenderGraph shortLived(0, 0, 10, 10);
        shortLived.addRoot(&root, 1);
        shortLived.update();
        EXPECT_TRUE(root.isLinked());
    }
    EXPECT_FALSE(root.isLinked());
}

TEST_F(Graph, DestroyedNode_LeavesBothListsAtOnce_EvenWhileTheListIsDrawn) {
    Node root("root", journal);
    auto child = std::make_unique<Node>("child", journal);
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
    EXPECT_EQ(graph.getConsumerList(), (Consumers{before.get(), &root, after.get(), &last}));
    EXPECT_EQ(drawn(), (Journal{"render before", "render root", "render last"}));
    EXPECT_EQ(graph.getRenderList().size(), 2u);
}

} // namespace
