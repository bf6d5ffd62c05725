#pragma once

#include "graph/rendernode.h"
#include "input/eventconsumer.h"
#include "keep/recordfolder.h"
#include "net/landiscovery.h"
#include "netplay/clientport.h"
#include "netplay/keptnetworkgame.h"
#include "netplay/networkplay.h"
#include "ui/networkhost.h"

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class EmbeddedServer;
class GameSession;
class Main;
class WaterTable;

// Network play in the game: the menus' and the heads-up display's view of
// it (NetworkHost), the server run on this machine for a hosted game, the
// search of the local network, the network game kept between runs and its
// record. A node of the render graph that draws nothing: each frame it
// services the connection, and while the game is on the table it takes the
// keys of a take-back across the table (Backspace asks, Y and N answer)
// before the table does.
class NetworkSession : public NetworkHost, public RenderNode, public EventConsumer {
public:
    // What the session shows over the table when it happens there.
    enum class Screen { Failure, Waiting };

    // table, application: not owned, outlive the session. stateFolder: where
    // the network game is kept ("" keeps none). hostPort: the port a game
    // hosted here is served on (0: a free one).
    NetworkSession(WaterTable& table, Main& application, std::string stateFolder, RecordFolder records,
                   uint16_t hostPort);
    ~NetworkSession() override;

    // session: not owned; switches the table to the network game when one begins.
    void setGameSession(GameSession* session) { gameSession = session; }
    void setScreens(std::function<void(Screen)> show) { screens = std::move(show); }
    void setRememberedServer(const std::string& address) { remembered = address; }

    // For the game session. A network game to continue: on the table, put
    // aside, or kept from an earlier run.
    bool hasGame() const;
    // Puts it on the table, rejoining a kept one.
    void continueGame();
    // The table shows something else; the game goes on meanwhile.
    void putAside();
    // A game at this table begins: the network game is left (kept as an
    // unfinished record), the server here stops.
    void leaveGame();

    // NetworkHost
    Phase networkPhase() const override;
    std::string failure() const override { return failureText; }
    void clearFailure() override { failureText.clear(); }
    std::string hostGame() override;
    std::string createOnServer(const std::string& address) override;
    std::string joinGame(const std::string& address, const std::string& code) override;
    std::string watchGame(const std::string& address, const std::string& code) override;
    void cancelNetworkGame() override;
    void swapSides() override;
    int ownSeat() const override;
    std::string joinCode() const override { return play.getJoinCode(); }
    std::vector<std::string> reachableAt() const override;
    std::string statusText() const override;
    void searchLan() override;
    std::vector<LanGame> lanGames() const override;
    std::string rememberedServer() const override { return remembered; }
    bool canResign() const override { return play.canResign(); }
    void resign() override { play.resign(); }
    std::string clipboardText() override;
    bool showsNetworkGame() const override;
    std::string connectionLine() const override { return play.connectionLine(); }
    std::string codeLine() const override { return play.codeLine(); }
    std::string noticeLine() const override { return play.noticeLine(); }
    std::string resultLine() const override { return play.resultLine(); }

    void render(double elapsed, float) override;
    void linkChildren() override {}
    void attach() override {}
    void detach() override {}
    void handleEvent(InputEvent& e) override;

    const NetworkPlay& getPlay() const { return play; }
    std::string keptPath() const;

private:
    // A start waiting for its server's name to be looked up, away from the
    // game's loop: a name server that does not answer must not stop the game.
    struct Attempt {
        enum class Kind { Create, Join, Watch, Resume };
        Kind kind = Kind::Join;
        ServerAddress server;
        std::string code;
        KeptNetworkGame kept;
        // Shared with the thread that looks the name up, which may outlive it.
        struct Lookup {
            std::mutex mutex;
            bool done = false;
            std::optional<std::string> address;
        };
        std::shared_ptr<Lookup> lookup;
    };

    void begin(Attempt attempt);
    // Joins or watches: the address and code checked, then begun; the
    // reason when either is refused.
    std::string beginByCode(Attempt::Kind kind, const std::string& address, const std::string& code);
    // Starts an attempt whose server is an IPv4 address.
    void launch(const Attempt& attempt, const ServerAddress& address);
    void followLookup();
    void loadKept();
    // Leaves any game before another begins; the server here stops.
    void reset();
    bool startHosting(uint16_t port);
    void stopHosting();
    void followPhase();
    void keep();
    void forgetKept();
    void keepRecord(bool finished);
    void logCounts();
    void faceOwnSide();

    WaterTable& table;                  // not owned: the package's scene
    Main& application;                  // not owned
    GameSession* gameSession = nullptr; // not owned, may be null
    std::function<void(Screen)> screens;
    std::string stateFolder;
    RecordFolder records;
    uint16_t hostPort;
    NetClientPort client;
    NetworkPlay play;
    std::unique_ptr<EmbeddedServer> hosted;
    LanDiscovery::Search search;
    std::vector<LanDiscovery::Search::Found> lastRound;
    int hostSeat = 1;
    ServerAddress createdOn;
    // As the player typed it, for the screen.
    ServerAddress createdName;
    ServerAddress typedServer;
    bool createdHere = false;
    std::string failureText;
    std::string remembered;
    // A network game kept from an earlier run, not taken up yet.
    std::optional<KeptNetworkGame> keptAtStart;
    std::optional<KeptNetworkGame> lastKept;
    std::optional<Attempt> looking;
    NetworkPlay::Phase lastPhase = NetworkPlay::Phase::Idle;
    bool recordKept = false;
    std::string recordPath;
    double clock = 0.0;
    int loggedMoves = -1;
    int loggedCounts[2] = {-1, -1};
};
