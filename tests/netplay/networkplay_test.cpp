#include "netplay/networkplay.h"

#include "game/notation.h"
#include "net/rulesgame.h"

#include <gtest/gtest.h>

#include <deque>

namespace {

using Event = NetClient::Event;
using Type = NetClient::Event::Type;
using Protocol::SeatPresence;

// The server's part, played by the test: the calls made are recorded, the
// events given are what the connection would have brought.
class FakeClient : public ClientPort {
public:
    bool connect(const std::string&, uint16_t) override { return resolves; }
    void disconnect() override { connected = false; }
    void createGame(int) override {}
    void joinGame(const std::string&) override {}
    void watchGame(const std::string&) override {}
    bool rejoin(const std::string&) override { return true; }
    bool play(const std::string& move) override {
        sent.push_back(move);
        return true;
    }
    bool askTakeBack() override { return true; }
    bool answerTakeBack(bool agree) override {
        answers.push_back(agree);
        return true;
    }
    bool resign() override { return true; }
    void service() override {}
    std::optional<Event> nextEvent() override {
        if (events.empty()) {
            return std::nullopt;
        }
        Event event = events.front();
        events.pop_front();
        return event;
    }
    NetClient::State state() const override { return NetClient::State::Seated; }
    int seat() const override { return 0; }
    const std::string& joinCode() const override { return code; }
    std::string token() const override { return std::string(32, 'a'); }
    const RulesGame& game() const override { return rules; }
    uint32_t roundTripMs() const override { return 42; }

    bool resolves = true;
    bool connected = true;
    std::string code = "KTR4QXM7P";
    RulesGame rules;
    std::deque<Event> events;
    std::vector<std::string> sent;
    std::vector<bool> answers;
};

Event event(Type type, int seat = 0) {
    Event e;
    e.type = type;
    e.seat = seat;
    return e;
}

class NetworkPlayTest : public testing::Test {
protected:
    // Updates at that time, then lets the board finish what it shows.
    void at(double time) {
        play.update(time);
        while (board.popMove()) {
        }
    }
    // Joined at seat, both seats taken, at the server's position.
    void seated(int seat) {
        ASSERT_TRUE(play.join({"h", 1}, client.code));
        Event joined = event(Type::Joined, seat);
        joined.joinCode = client.code;
        joined.token = std::string(32, 'a');
        client.events.push_back(joined);
        Event position = event(Type::Position);
        position.seats = {SeatPresence::Connected, SeatPresence::Connected};
        client.events.push_back(position);
        at(0.0);
        ASSERT_EQ(play.getPhase(), NetworkPlay::Phase::Playing);
    }
    // The server accepts a move, whoever made it.
    void accept(const std::string& move) {
        ASSERT_TRUE(client.rules.play(move)) << move;
        Event accepted = event(Type::MoveAccepted);
        accepted.move = move;
        client.events.push_back(accepted);
    }
    // This player's move by the two clicks the table takes.
    bool click(const std::string& text) {
        const std::optional<Move> move = Notation::parseMove(text);
        // The table takes a click only where canClickField says so; the first selects.
        bool taken = board.canClickField(move->fromX, move->fromY);
        if (taken) {
            board.clickField(move->fromX, move->fromY);
            while (board.popMove()) {
            }
            taken = board.canClickField(move->toX, move->toY) && board.clickField(move->toX, move->toY);
            // As the table marks a move it took by click.
            board.setMoveDone(taken);
        }
        while (board.popMove()) {
        }
        return taken;
    }
    std::vector<std::string> boardMoves() const {
        std::vector<std::string> out;
        for (const Move& move : board.getMoves()) {
            out.push_back(Notation::move(move));
        }
        return out;
    }

    FakeClient client;
    GameBoard board;
    int shown = 0;
    NetworkPlay play{client, board, [this](const GameBoard::Record& record) {
                         ++shown;
                         ASSERT_TRUE(board.restore(record));
                         board.continueTurn();
                     }};
};

TEST_F(NetworkPlayTest, Moves_OwnSentOnceAndTheOthersPlayedAsTheyCome) {
    seated(1);
    ASSERT_TRUE(click("a1b2"));
    at(1.0);
    at(2.0);
    EXPECT_EQ(client.sent, std::vector<std::string>{"a1b2"});
    const int before = shown;
    accept("a1b2");
    accept("i9h8");
    at(3.0);
    // Played on the board as the remote player's, not shown afresh.
    EXPECT_EQ(shown, before);
    EXPECT_EQ(boardMoves(), (std::vector<std::string>{"a1b2", "i9h8"}));
    EXPECT_EQ(board.getCurrentPlayer(), GameBoard::kPlayer1);
}

TEST_F(NetworkPlayTest, ClicksOutOfTurn_NotTaken) {
    seated(2);
    EXPECT_FALSE(click("i9h8"));
    EXPECT_FALSE(click("a1b2"));
    at(1.0);
    EXPECT_TRUE(client.sent.empty());
}

TEST_F(NetworkPlayTest, RefusedMove_TheServersPositionShownAtOnce) {
    seated(1);
    ASSERT_TRUE(click("a1b2"));
    at(1.0);
    Event refused = event(Type::Error);
    refused.code = static_cast<uint32_t>(Protocol::ErrorCode::IllegalMove);
    refused.text = "That move is not allowed.";
    client.events.push_back(refused);
    at(2.0);
    EXPECT_TRUE(board.getMoves().empty());
    EXPECT_EQ(board.getField(1, 1), GameBoard::kEmpty);
    EXPECT_EQ(play.noticeLine(), "That move is not allowed.");
    EXPECT_EQ(play.getPhase(), NetworkPlay::Phase::Playing);
}

TEST_F(NetworkPlayTest, ConnectionLine_FollowsTheOtherSideAndTheLink) {
    seated(1);
    EXPECT_EQ(play.connectionLine(), "connected \u00B7 42 ms");
    EXPECT_EQ(play.codeLine(), "Code KTR-4QX-M7P");
    Event away = event(Type::SeatState, 2);
    away.presence = SeatPresence::Away;
    client.events.push_back(away);
    at(10.0);
    at(17.0);
    EXPECT_EQ(play.connectionLine(), "Player 2 disconnected \u2014 waiting 2:23");
    at(10.0 + NetworkPlay::kOpponentWait);
    EXPECT_EQ(play.connectionLine(), "Player 2 disconnected \u2014 the server keeps the game");
    Event back = event(Type::SeatState, 2);
    back.presence = SeatPresence::Connected;
    client.events.push_back(back);
    at(200.0);
    EXPECT_EQ(play.connectionLine(), "connected \u00B7 42 ms");
    client.events.push_back(event(Type::Reconnecting));
    at(201.0);
    EXPECT_EQ(play.connectionLine(), "reconnecting\u2026");
    Event left = event(Type::Error);
    left.code = static_cast<uint32_t>(Protocol::ErrorCode::HostLeft);
    client.events.push_back(left);
    at(202.0);
    EXPECT_EQ(play.connectionLine(), "The host left \u2014 reconnecting\u2026");
    client.events.push_back(event(Type::Connected));
    at(203.0);
    EXPECT_EQ(play.connectionLine(), "connected \u00B7 42 ms");
}

TEST_F(NetworkPlayTest, TakeBackAsked_UnansweredDeclinedInTime) {
    seated(2);
    accept("a1b2");
    client.events.push_back(event(Type::TakeBackAsked, 1));
    at(5.0);
    EXPECT_TRUE(play.isAskedToTakeBack());
    EXPECT_EQ(play.noticeLine(), "Player 1 asks to take back a move \u2014 Y / N");
    at(5.0 + NetworkPlay::kTakeBackTimeout - 0.5);
    EXPECT_TRUE(client.answers.empty());
    at(5.0 + NetworkPlay::kTakeBackTimeout);
    EXPECT_EQ(client.answers, std::vector<bool>{false});
    EXPECT_EQ(play.noticeLine(), "");
}

TEST_F(NetworkPlayTest, TakeBack_AskedDeclinedThenAgreed) {
    seated(1);
    ASSERT_TRUE(click("a1b2"));
    accept("a1b2");
    accept("i9h8");
    at(1.0);
    EXPECT_FALSE(play.answerTakeBack(true));
    ASSERT_TRUE(play.askTakeBack());
    client.events.push_back(event(Type::TakeBackAsked, 1));
    at(2.0);
    EXPECT_EQ(play.noticeLine(), "Waiting for Player 2 to answer\u2026");
    EXPECT_FALSE(play.isAskedToTakeBack());
    client.events.push_back(event(Type::TakeBackAnswered));
    at(3.0);
    EXPECT_EQ(play.noticeLine(), "Player 2 declined to take back the move");
    EXPECT_EQ(board.getMoves().size(), 2u);

    client.events.push_back(event(Type::TakeBackAsked, 1));
    Event agreed = event(Type::TakeBackAnswered);
    agreed.agreed = true;
    agreed.removed = 2;
    ASSERT_TRUE(client.rules.takeBack() && client.rules.takeBack());
    client.events.push_back(agreed);
    at(4.0);
    EXPECT_EQ(play.noticeLine(), "2 moves were taken back");
    EXPECT_TRUE(board.getMoves().empty());
    EXPECT_EQ(board.getField(0, 0), GameBoard::kPlayer1);
    EXPECT_EQ(board.getField(1, 1), GameBoard::kEmpty);
    at(4.0 + NetworkPlay::kNoticeSeconds);
    EXPECT_EQ(play.noticeLine(), "");
}

TEST_F(NetworkPlayTest, Resigned_WinnerShownAndNoMoreClicks) {
    seated(1);
    Event over = event(Type::GameOver);
    over.winner = 1;
    over.reason = Protocol::EndReason::Resigned;
    client.events.push_back(over);
    at(1.0);
    EXPECT_EQ(play.getPhase(), NetworkPlay::Phase::Finished);
    EXPECT_EQ(play.resultLine(), "Player 1 Won!");
    EXPECT_EQ(play.noticeLine(), "Player 2 resigned");
    EXPECT_FALSE(play.canResign());
    EXPECT_FALSE(play.kept());
    EXPECT_FALSE(click("a1b2"));
}

TEST_F(NetworkPlayTest, GettingIn_FailuresNamedAndWhatIsKept) {
    client.resolves = false;
    EXPECT_FALSE(play.join({"nosuch.invalid", 1}, client.code));
    EXPECT_EQ(play.getFailure(), "Unknown host \"nosuch.invalid\": no machine is known by that name.");
    client.resolves = true;

    ASSERT_TRUE(play.join({"10.0.0.9", 47621}, client.code));
    Event lost = event(Type::Lost);
    lost.text = NetClient::kUnreachable;
    client.events.push_back(lost);
    at(1.0);
    EXPECT_EQ(play.getPhase(), NetworkPlay::Phase::Failed);
    EXPECT_EQ(play.getFailure(),
              "No server answers at 10.0.0.9:47621: is the game hosted there, and the port open?");

    // A kept game whose server cannot be reached stays kept; one whose seat
    // the server no longer knows is dropped.
    KeptNetworkGame game;
    game.server = {"h", 1};
    game.code = client.code;
    game.token = std::string(32, 'b');
    game.seat = 2;
    game.moves = {"a1b2"};
    ASSERT_TRUE(play.resume(game));
    EXPECT_EQ(boardMoves(), std::vector<std::string>{"a1b2"});
    client.events.push_back(lost);
    at(2.0);
    ASSERT_TRUE(play.kept());
    EXPECT_TRUE(*play.kept() == game);
    ASSERT_TRUE(play.resume(game));
    Event unknown = event(Type::Error);
    unknown.code = static_cast<uint32_t>(Protocol::ErrorCode::UnknownToken);
    unknown.text = "This seat is not known here.";
    client.events.push_back(unknown);
    at(3.0);
    EXPECT_EQ(play.getFailure(), "This seat is not known here.");
    EXPECT_FALSE(play.kept());
}

TEST_F(NetworkPlayTest, Watching_NothingKeptAndNoClicks) {
    ASSERT_TRUE(play.watch({"h", 1}, client.code));
    Event watching = event(Type::Watching);
    watching.joinCode = client.code;
    client.events.push_back(watching);
    client.events.push_back(event(Type::Position));
    accept("a1b2");
    at(1.0);
    EXPECT_EQ(play.getPhase(), NetworkPlay::Phase::Watching);
    EXPECT_EQ(play.codeLine(), "Watching KTR-4QX-M7P");
    EXPECT_EQ(boardMoves(), std::vector<std::string>{"a1b2"});
    EXPECT_FALSE(click("i9h8"));
    EXPECT_FALSE(play.kept());
    EXPECT_FALSE(play.askTakeBack());
}

} // namespace
