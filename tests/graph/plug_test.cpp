#include "base/exceptions.h"
#include "game/gamelogic.h"
#include "graph/plugconnections.h"
#include "scene/table.h"
#include "support/logcapture.h"
#include "support/thrown.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

class Logic : public GameLogic {
public:
    bool grants(const std::string& name) const override { return name == granted; }
    void connected(const std::string& name) override { journal.push_back("connected " + name); }
    void disconnected(const std::string& name) override { journal.push_back("disconnected " + name); }

    std::string granted = "game";
    Lines journal;
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

TEST(Plug, CanConnect_ChecksKindThenGrantsThenDependencies) {
    Scene scene;
    Scene otherScene;
    Logic logic;
    Logic otherLogic;
    EXPECT_TRUE(scene.canConnect(&logic, "game", true));
    EXPECT_TRUE(logic.canConnect(&scene, "game", true));
    LogCapture capture;
    otherLogic.granted = "other";
    EXPECT_FALSE(logic.canConnect(&otherLogic, "other", true));
    EXPECT_FALSE(scene.canConnect(&otherScene, "game", true));
    EXPECT_FALSE(scene.canConnect(&otherLogic, "game", true));
    scene.grantsNothing = true;
    EXPECT_FALSE(scene.canConnect(&logic, "game", true));
    scene.grantsNothing = false;
    // Both sides' needs are checked, the asking plug's and its partner's.
    scene.extraRequired = {"zoom|d"};
    EXPECT_FALSE(logic.canConnect(&scene, "game", true));
    EXPECT_TRUE(capture.has("zoom|d")) << "the missing dependency is named";
    capture.clear();
    EXPECT_FALSE(scene.canConnect(&logic, "game", false));
    EXPECT_TRUE(capture.lines().empty()) << "a quiet check logs nothing";
}

TEST(SystemConnections, ConnectAndDisconnect_ReceiverIsTheNonSequentialPlug_PlugsCheckedFirst) {
    PlugConnections* system = &PlugConnections::instance();
    Scene scene;
    Scene refusing;
    refusing.grantsNothing = true;
    Logic logic;
    system->connect(1, "game", &scene, &logic);
    const Connection* connection = system->findConnection(1);
    ASSERT_NE(connection, nullptr);
    EXPECT_EQ(connection->receiver, &logic);
    EXPECT_EQ(connection->sender, &scene);
    EXPECT_TRUE(logic.journal.empty()) << "neither plug is told";
    auto connectError = [&](Plug* a, Plug* b) {
        return thrownMessage<IllegalArgumentException>([&] { system->connect(1, "game", a, b); });
    };
    EXPECT_EQ(connectError(&refusing, &logic), "can not connect plugs");
    EXPECT_EQ(connectError(nullptr, &logic), "can not connect plugs");
    EXPECT_EQ(connectError(&logic, nullptr), "can not connect plugs");
    EXPECT_EQ(connectError(&logic, &scene), "a connection with the same identifier already exists");
    logic.addConnection("game", 1, &scene);
    EXPECT_EQ(logic.getConnection("game"), Plug::Connection(&scene, 1));
    logic.disconnect("game");
    EXPECT_EQ(system->findConnection(1), nullptr);
    logic.removeConnection("game");
    EXPECT_EQ(logic.journal, (Lines{"connected game", "disconnected game"}));
    EXPECT_EQ(thrownMessage<NotFoundException>([&] { logic.getConnection("game"); }), "connection not found");
    EXPECT_EQ(thrownMessage<NotFoundException>([&] { system->disconnect(1); }), "connection not found.");
}

} // namespace
