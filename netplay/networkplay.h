#pragma once

#include "game/gameboard.h"
#include "net/protocol.h"
#include "netplay/clientport.h"
#include "netplay/keptnetworkgame.h"
#include "netplay/serveraddress.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

class RulesGame;

// One game played or watched across the network, as the table shows it:
// getting in (create, join, watch, or rejoin a kept game), then driving the
// table's board from the connection. The other side is a remote player of
// the board, whose moves are played as they come, with the table's own
// animation; this player's moves, made on the board by click, are sent as
// they are made. The board follows the server's copy of the game: whatever
// tells them apart (a refused move, a take-back, a position after a
// reconnection) shows the server's position at once. It also says what the
// screens write about the game: the connection, the code, take-back
// requests, the result.
class NetworkPlay {
public:
    enum class Phase {
        Idle,       // no network game
        Connecting, // connecting, then creating, joining, watching or rejoining
        Waiting,    // seated in a game whose other seat is still empty
        Playing,    // seated, both seats taken (the connection may be down meanwhile)
        Watching,   // watching a game, read only
        Finished,   // the game has ended; its last position stays shown
        Failed,     // could not get in, or gave up reconnecting: getFailure says why
    };
    // Shows a game at once on the table, ending what it was showing.
    using ShowAtOnce = std::function<void(const GameBoard::Record&)>;

    // A request to take back that is not answered in this time is declined
    // by the side asked, so that the asker learns of it.
    static constexpr double kTakeBackTimeout = 20.0;
    // How long the asker waits for an answer from a side that may be away.
    static constexpr double kAskerPatience = 30.0;
    // The other side's game keeps trying to come back this long after it
    // dropped; the screen counts it down.
    static constexpr double kOpponentWait = 150.0;
    // How long a passing notice stays on the screen.
    static constexpr double kNoticeSeconds = 6.0;

    // client, board: not owned, outlive this. show: how the table shows a
    // game at once.
    NetworkPlay(ClientPort& client, GameBoard& board, ShowAtOnce show);

    // Each starts getting in, leaving the game before; false, Failed with the
    // reason, when the server's host name does not resolve. seat: 1 or 2;
    // code: canonical (JoinCode::parse).
    bool create(const ServerAddress& server, int seat, bool hosted);
    bool join(const ServerAddress& server, const std::string& code);
    bool watch(const ServerAddress& server, const std::string& code);
    // Shows the kept game's moves and rejoins its seat.
    bool resume(const KeptNetworkGame& game);
    // Leaves the server; Idle.
    void leave();

    // Whether the game is on the table (not put aside for a demonstration or
    // a replay). Put back, the table shows the game as it stands at once.
    void setOnTable(bool on);
    bool isOnTable() const { return onTable; }
    // Once a frame, with a monotonic clock in seconds: services the
    // connection, takes in what happened and keeps the board in step.
    void update(double now);

    // This player's requests; false when they cannot be made now.
    bool askTakeBack();
    bool answerTakeBack(bool agree);
    bool resign();
    // The other side asks to take back a move and waits for Y or N.
    bool isAskedToTakeBack() const { return askedBy != 0 && askedBy != seat && seat != 0; }

    Phase getPhase() const { return phase; }
    const std::string& getFailure() const { return failure; }
    // 1 or 2; 0 for a spectator or before a seat is had.
    int getSeat() const { return seat; }
    bool isHosted() const { return hosted; }
    const ServerAddress& getServer() const { return server; }
    // "KTR-4QX-M7P"; empty before the server gave one.
    std::string getJoinCode() const;
    bool canResign() const;
    // The server's end of the game: the winner (0: nobody) and why.
    int getWinner() const { return winner; }
    Protocol::EndReason getEndReason() const { return endReason; }

    // The lines the heads-up display writes; empty when there is nothing to say.
    // "connected · 42 ms", "reconnecting…", "Player 2 disconnected — waiting 1:53".
    std::string connectionLine() const;
    // The code, for someone who would watch.
    std::string codeLine() const;
    // A take-back asked or answered, a refusal, how the game ended.
    std::string noticeLine() const;
    // "Player 1 Won!" once the server has ended the game, "Nobody won" without a winner.
    std::string resultLine() const;
    // What keeps this game for Continue; nothing for a spectator, before a
    // seat is had, after the end, or once the server refused the seat.
    std::optional<KeptNetworkGame> kept() const;
    const RulesGame& game() const { return client.game(); }

    // The game of these moves with the players of this machine's seat: the
    // seat a human, the other remote (both remote for seat 0).
    static GameBoard::Record recordOf(const std::vector<std::string>& moves, int seat);

private:
    enum class Intent { None, Create, Join, Watch, Rejoin };

    bool start(const ServerAddress& address, Intent what);
    void handle(const NetClient::Event& event);
    void handleError(const NetClient::Event& event);
    void fail(const std::string& why, bool dropKept);
    void notice(const std::string& text);
    void enterGame();
    void finish(int winnerSeat, Protocol::EndReason reason);
    void rebuild();
    void reconcile();
    void followTakeBack();
    int opponent() const { return seat == 1 ? 2 : 1; }

    ClientPort& client; // not owned
    GameBoard& board;   // not owned: the table's
    ShowAtOnce show;
    Phase phase = Phase::Idle;
    Intent intent = Intent::None;
    std::string failure;
    ServerAddress server;
    int seat = 0;
    int wantedSeat = 1;
    bool hosted = false;
    std::string code;
    std::string token;
    bool onTable = true;
    double now = 0.0;
    // The last move of this player's sent to the server and not yet accepted.
    std::string sent;
    Protocol::SeatPresence opponentPresence = Protocol::SeatPresence::Empty;
    double awaySince = 0.0;
    bool hostLeft = false;
    bool linkLost = false;
    int askedBy = 0;
    double askedAt = 0.0;
    std::string noticeText;
    double noticeUntil = 0.0;
    bool noticeStays = false;
    int winner = 0;
    Protocol::EndReason endReason = Protocol::EndReason::None;
    // Kept across a failed reconnection, dropped when the server refuses the seat.
    bool keepable = false;
    // The moves kept from an earlier run, until the server's position arrives.
    std::vector<std::string> keptMoves;
    bool positioned = false;
};
