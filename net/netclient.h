#pragma once

#include "net/protocol.h"
#include "net/rulesgame.h"
#include "net/wire.pb.h"

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct _ENetPeer;
struct _ENetEvent;
class ClientHost;

// The client side of network play, for the game, the tests and the
// benchmark. Nothing blocks: service() (or the shared ClientHost's) sends,
// receives and runs the timers, and what happened comes out of nextEvent().
// It keeps its own copy of the game, applies each accepted move to it and
// compares the position's hash with the server's; on a difference it asks
// for the whole position. After a dropped connection it tries again with
// back-off (0.5 s doubling to 8 s) for reconnectFor seconds, rejoining its
// seat with the seat token or watching again.
//
//   NetClient client;                       // its own ENet host
//   client.connect("example.org", Protocol::kDefaultPort);
//   client.createGame();                    // sent once the server welcomes
//   every frame: client.service();
//                while (auto event = client.nextEvent()) { ... }
//   client.play("a1b2");                    // once seated and to move
class NetClient {
public:
    enum class State {
        Idle,         // not connected
        Connecting,   // waiting for the connection
        Greeting,     // connected, waiting for the server's welcome
        Ready,        // welcomed, in no game
        Seated,       // playing a seat
        Watching,     // watching a game
        Reconnecting, // dropped, trying again
        Closed,       // refused or given up; connect() starts anew
    };

    struct Event {
        enum class Type {
            Connected,        // the server welcomed us (again)
            VersionRefused,   // text names both versions; nothing more happens
            GameCreated,      // joinCode, token, seat
            Joined,           // joinCode, token, seat: joined or rejoined
            Watching,         // joinCode
            MoveAccepted,     // move, hash, number, seat (the mover); the copy agrees
            Position,         // the whole game arrived; game() holds it
            SeatState,        // seat, presence: the other side is away or back
            TakeBackAsked,    // seat: who asks
            TakeBackAnswered, // agreed, removed, number, hash
            GameOver,         // winner (0: none), reason
            Error,            // code, text: a refusal of the server, or a local fault (code 0)
            Reconnecting,     // attempt, delay: the connection dropped, trying again
            Lost,             // text: given up
        };
        Type type = Type::Error;
        std::string text;
        uint32_t code = 0;
        std::string joinCode;
        std::string token; // 32 hexadecimal digits
        int seat = 0;
        std::string move;
        uint64_t hash = 0;
        uint32_t number = 0;
        bool agreed = false;
        int removed = 0;
        int winner = 0;
        Protocol::EndReason reason = Protocol::EndReason::None;
        Protocol::SeatPresence presence = Protocol::SeatPresence::Empty;
        int attempt = 0;
        double delay = 0;
        // Position: each seat's presence, and who asks for a take-back (0: nobody).
        std::array<Protocol::SeatPresence, 2> seats{};
        int askedBy = 0;
    };

    struct Options {
        // What the hello says; tests pose as another version.
        uint32_t protocol;
        std::string gameVersion;
        double reconnectFor = 150;
        double firstRetry = 0.5;
        double maxRetry = 8;
        // A quiet client pings this often, well inside the server's idle limit.
        double keepAlive = 60;
        Options();
    };

    // Texts of the events the client makes itself.
    static constexpr const char* kUnreachable = "The server does not answer.";
    static constexpr const char* kGaveUp = "The server could not be reached again; the game is kept there.";
    static constexpr const char* kCopyDiffers = "This game's copy differs from the server's.";

    // shared null: the client makes its own host and service() drives it.
    // Not owned: a shared host outlives its clients.
    explicit NetClient(ClientHost* shared = nullptr, Options options = Options());
    ~NetClient();
    NetClient(const NetClient&) = delete;
    NetClient& operator=(const NetClient&) = delete;

    // Starts connecting; false when the host name does not resolve.
    bool connect(const std::string& hostName, uint16_t port);
    // Leaves the server at once; no reconnect follows.
    void disconnect();

    // What to do once welcomed; sent at once when already welcomed.
    void createGame(int seat = 1);
    void joinGame(const std::string& code);
    void watchGame(const std::string& code);
    // token: 32 hexadecimal digits, as the events give it; false otherwise.
    bool rejoin(const std::string& token);

    // A player's requests; false (nothing sent) when not seated and connected.
    // A move is sent numbered as the next one of the copy.
    bool play(const std::string& move);
    bool askTakeBack();
    bool answerTakeBack(bool agree);
    bool resign();

    // Drives its own host (or the shared one: with many clients, call the
    // host's service() once instead of each client's).
    void service();
    std::optional<Event> nextEvent();

    State state() const { return current; }
    int seat() const { return mySeat; }
    const std::string& joinCode() const { return code; }
    std::string token() const;
    const RulesGame& game() const { return copy; }
    bool isFinished() const { return finished; }
    // ENet's mean round trip to the server in milliseconds; 0 while not connected.
    uint32_t roundTripMs() const;

    static std::string tokenToText(const std::string& bytes);
    static std::optional<std::string> tokenFromText(const std::string& text);

private:
    friend class ClientHost;
    enum class Intent { None, Create, Join, Watch, Rejoin };

    void handleEvent(_ENetEvent& event);
    void tick(double now);
    void handleMessage(const sporrik::wire::ServerMessage& message);
    void onWelcome(const sporrik::wire::Welcome& welcome);
    void onMoveAccepted(const sporrik::wire::MoveAccepted& accepted);
    void onPosition(const sporrik::wire::Position& position);
    void onTakeBackAnswered(const sporrik::wire::TakeBackAnswered& answered);
    void onDropped(double now);
    bool startConnection();
    void sendIntent();
    void resync();
    bool send(const sporrik::wire::ClientMessage& message);
    void emit(Event event);
    Event make(Event::Type type) const;

    std::unique_ptr<ClientHost> ownHost;
    ClientHost* host; // not owned when shared
    Options options;
    _ENetPeer* peer = nullptr; // the host's
    std::string hostName;
    uint16_t port = 0;
    State current = State::Idle;
    Intent intent = Intent::None;
    int wantedSeat = 1;
    std::string intentCode;
    std::string seatToken; // 16 bytes
    std::string code;
    int mySeat = 0;
    RulesGame copy;
    bool finished = false;
    bool resyncing = false;
    double droppedAt = 0;
    double nextAttempt = 0;
    double retryDelay = 0;
    int attempts = 0;
    double lastSent = 0;
    std::deque<Event> events;
};
