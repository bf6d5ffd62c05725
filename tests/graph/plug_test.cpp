#include "core/exceptions.h"
#include "core/system.h"
#include "game/gamelogic.h"
#include "game/table.h"
#include "support/logcapture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class Logic : public GameLogic {
public:
    bool grants(const std::string& name) const override { return name == granted; }
    void connected(const std::string& name) override { journal.push_back("connected " + name); }
    void disconnected(const std::string& name) override { journal.push_back("disconnected " + name); }

    std::string granted = "game";
    std::vector<std::string> journal;
};

class Scene : public Table {
public:
    void render(double, float) override {}
    void linkChildren() override {}
    void attach() override {}
    void detach() override {}
    bool grants(const std::string& name) const override { return grantsAll || name == "game"; }
    void getRequired(std::set<std::string>& out) const override {
        Table::getRequired(out);
        out.insert(extraRequired.begin(), extraRequired.end());
    }

    bool grantsAll = false;
    std::set<std::string> extraRequired;
};

// Refuses every connection name, as the game's own table does.
class RefusingScene : public Scene {
public:
    bool grants(const std::string&) const override { return false; }
};

TEST(PlugConnect, SceneAndLogicConnectUnderAGrantedName) {
    Scene scene;
    Logic logic;
    EXPECT_TRUE(scene.canConnect(&logic, "game", true));
    EXPECT_TRUE(logic.canConnect(&scene, "game", true));
}

TEST(PlugConnect, TwoSequentialPlugsNeverConnect) {
    LogCapture capture;
    Scene a;
    Scene b;
    a.grantsAll = b.grantsAll = true;
    EXPECT_FALSE(a.canConnect(&b, "game", true));
    EXPECT_EQ(capture.messages(),
              (std::vector<std::string>{"only sequential and non-sequential plugs can be connected."}));
}

TEST(PlugConnect, NameNotGrantedByEitherSideFails) {
    LogCapture capture;
    Scene scene;
    Logic logic;
    logic.granted = "other";
    EXPECT_FALSE(scene.canConnect(&logic, "game", true));
    RefusingScene refusing;
    logic.granted = "game";
    EXPECT_FALSE(refusing.canConnect(&logic, "game", true));
    EXPECT_EQ(capture.messages(), (std::vector<std::string>{"connection with this name is not granted.",
                                                            "connection with this name is not granted."}));
}

TEST(PlugConnect, KindIsCheckedBeforeGrant) {
    LogCapture capture;
    Logic a;
    Logic b;
    a.granted = "x";
    EXPECT_FALSE(a.canConnect(&b, "game", true));
    EXPECT_EQ(capture.messages().at(0), "only sequential and non-sequential plugs can be connected.");
}

TEST(PlugConnect, MissingSignatureIsLoggedAfterTheClassName) {
    LogCapture capture;
    Scene scene;
    scene.extraRequired = {"zoom|d"};
    Logic logic;
    EXPECT_FALSE(scene.canConnect(&logic, "game", true));
    const std::vector<std::string> messages = capture.messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].rfind("Can not resolve dependencies from Plug class ", 0), 0u);
    EXPECT_NE(messages[0].find("Scene:"), std::string::npos);
    EXPECT_EQ(messages[1], "zoom|d");
}

TEST(PlugConnect, QuietCheckLogsNothing) {
    LogCapture capture;
    Scene a;
    Scene b;
    EXPECT_FALSE(a.canConnect(&b, "game", false));
    EXPECT_TRUE(capture.lines().empty());
}

TEST(PlugConnections, AddNotifiesAndGetFindsIt) {
    Logic logic;
    Scene scene;
    logic.addConnection("game", 7, &scene);
    EXPECT_EQ(logic.getConnection("game"), Plug::Connection(&scene, 7));
    logic.removeConnection("game");
    EXPECT_EQ(logic.journal, (std::vector<std::string>{"connected game", "disconnected game"}));
    try {
        logic.getConnection("game");
        FAIL() << "no exception";
    } catch (const NotFoundException& e) {
        EXPECT_EQ(e.getMessage(), "connection not found");
    }
}

TEST(SystemConnections, ReceiverIsTheNonSequentialPlug) {
    Scene scene;
    Logic logic;
    System::instance()->connect(1, "game", &scene, &logic);
    const Connection* connection = System::instance()->findConnection(1);
    ASSERT_NE(connection, nullptr);
    EXPECT_EQ(connection->receiver, &logic);
    EXPECT_EQ(connection->sender, &scene);
    EXPECT_TRUE(connection->commands.isEmpty());
    EXPECT_TRUE(logic.journal.empty());
    System::instance()->disconnect(1);
    EXPECT_EQ(System::instance()->findConnection(1), nullptr);
}

TEST(SystemConnections, RefusedPlugsAreCheckedBeforeTheIdentifier) {
    Scene scene;
    Logic logic;
    RefusingScene refusing;
    System::instance()->connect(1, "game", &logic, &scene);
    try {
        System::instance()->connect(1, "game", &refusing, &logic);
        FAIL() << "no exception";
    } catch (const IllegalArgumentException& e) {
        EXPECT_EQ(e.getMessage(), "can not connect plugs");
    }
    try {
        System::instance()->connect(1, "game", &scene, &logic);
        FAIL() << "no exception";
    } catch (const IllegalArgumentException& e) {
        EXPECT_EQ(e.getMessage(), "a connection with the same identifier already exists");
    }
}

TEST(SystemConnections, UnknownIdentifierCannotBeDisconnected) {
    try {
        System::instance()->disconnect(42);
        FAIL() << "no exception";
    } catch (const NotFoundException& e) {
        EXPECT_EQ(e.getMessage(), "connection not found.");
    }
    Logic logic;
    EXPECT_THROW(System::instance()->connect(2, "game", nullptr, &logic), IllegalArgumentException);
    EXPECT_THROW(System::instance()->connect(2, "game", &logic, nullptr), IllegalArgumentException);
}

TEST(SystemConnections, PlugDisconnectsThroughItsStoredIdentifier) {
    Scene scene;
    Logic logic;
    System::instance()->connect(9, "game", &scene, &logic);
    logic.addConnection("game", 9, &scene);
    logic.disconnect("game");
    EXPECT_EQ(System::instance()->findConnection(9), nullptr);
}

} // namespace
