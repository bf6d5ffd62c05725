#include "game/compactposition.h"
#include "game/expertsearch.h"
#include "game/gameboard.h"
#include "support/logcapture.h"
#include "support/poll.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

using Moves = std::vector<Move>;
using P = GameBoard::Position;

// Takes out up to limit queued records (all for -1), as the table scene does
// over time.
Moves drain(GameBoard& board, int limit = -1) {
    Moves taken;
    for (; board.hasPendingMoves() && limit != 0; --limit) {
        taken.push_back(board.frontMove());
        board.popMove();
    }
    return taken;
}

void start(GameBoard& board, bool human1, bool human2, int level = GameBoard::kHard) {
    board.setHuman(GameBoard::kPlayer1, human1);
    board.setHuman(GameBoard::kPlayer2, human2);
    board.setDifficulty(level);
    board.newGame();
}

// A human's move by clicks, done once its records are taken.
bool click(GameBoard& board, const Move& m) {
    // A second click on the selected figure would deselect it.
    if (board.getSelectedX() != m.fromX || board.getSelectedY() != m.fromY) {
        board.clickField(m.fromX, m.fromY);
    }
    const bool moved = board.clickField(m.toX, m.toY);
    board.setMoveDone(moved);
    return moved;
}

// A game between two humans, start position shown, player 1 to move.
class GameBoardTest : public ::testing::Test {
protected:
    void SetUp() override {
        start(board, true, true);
        drain(board);
    }
    // Clears the board and places figures given as {x, y, player}.
    void place(std::initializer_list<std::array<int, 3>> figures) {
        board.clearFields();
        for (const auto& f : figures) {
            board.setField(f[0], f[1], f[2]);
        }
    }
    // Fills every other field within distance 2 of (x, y) with value.
    void wallIn(int x, int y, int value) {
        for (int fy = y - 2; fy <= y + 2; ++fy) {
            for (int fx = x - 2; fx <= x + 2; ++fx) {
                if (fx != x || fy != y) {
                    board.setField(fx, fy, value);
                }
            }
        }
    }

    GameBoard board;
};

TEST(GameBoardFresh, HasNoGameAndIgnoresOutOfRangeInput) {
    LogCapture quiet;
    GameBoard board;
    board.setHuman(1, true);
    EXPECT_EQ(board.winner(), 0);
    EXPECT_FALSE(board.isRunning());
    EXPECT_FALSE(board.canClickField(0, 0));
    for (const P& p : {P{-1, 0}, P{0, -1}, P{9, 0}, P{0, 9}}) {
        board.setField(p.x, p.y, 1);
    }
    board.setField(4, 4, 3);
    board.setDifficulty(4);
    board.setBoardSize(1, 9);
    board.setBoardSize(100000, 100000);
    EXPECT_EQ(board.countFields(0), 81);
    EXPECT_EQ(board.getDifficulty(), GameBoard::kHard);
}

TEST_F(GameBoardTest, NewGame_QueuesClearAndStartFigures_DiscardingTheOldGame) {
    board.setField(3, 3, 2);
    board.clickField(0, 0);
    board.newGame();
    EXPECT_EQ(board.getSelectedX(), -1);
    Moves start = {{0, 0, 0, 0, MoveClear}, {0, 0, 1, 0, MoveCreate}, {8, 8, 2, 0, MoveCreate}};
    EXPECT_EQ(drain(board), start);
    EXPECT_EQ(board.countFields(0), 79);
    board.setHuman(1, false);
    board.newGame();
    // (1, 0), (0, 1) and (1, 1) all weigh 3; the hard level takes the first.
    start.push_back({0, 0, 1, 0, MoveSplit});
    EXPECT_EQ(drain(board), start);
}

TEST_F(GameBoardTest, RefusedMoves_ChangeNothingAndQueueNothing) {
    board.setField(1, 0, 2);
    const std::array<int, 4> refused[] = {
        {0, 0, 3, 0}, {0, 0, 0, 0}, {0, 0, -1, -1}, {-1, 0, 0, 1}, {0, 0, 1, 0}, {4, 4, 5, 5},
    };
    for (const auto& m : refused) {
        EXPECT_FALSE(board.performMove(m[0], m[1], m[2], m[3])) << m[0] << m[1] << m[2] << m[3];
    }
    EXPECT_FALSE(board.hasPendingMoves());
    EXPECT_EQ(board.countFields(1), 1);
}

TEST_F(GameBoardTest, Selection_NewOwnFigureDeselectsTheOldFirst_SelectedOneDeselects) {
    board.setField(3, 3, 1);
    EXPECT_FALSE(board.clickField(0, 0));
    EXPECT_FALSE(board.clickField(3, 3));
    EXPECT_FALSE(board.clickField(3, 3));
    const Moves expected = {{0, 0, 0, 0, MoveSelect},
                            {0, 0, 0, 0, MoveDeselect},
                            {3, 3, 3, 3, MoveSelect},
                            {3, 3, 3, 3, MoveDeselect}};
    EXPECT_EQ(drain(board), expected);
    EXPECT_EQ(board.getSelectedX(), -1);
    EXPECT_EQ(board.getCurrentPlayer(), 1) << "selection records never pass the turn";
}

// A field the guard refuses is also no move when clicked.
TEST_F(GameBoardTest, Clicks_OnlyOwnFiguresAndReachableEmptyFieldsAreTaken) {
    EXPECT_FALSE(board.canClickField(1, 1)) << "no selection";
    EXPECT_FALSE(board.clickField(1, 1));
    board.setField(1, 1, 1);
    board.clickField(1, 1);
    EXPECT_FALSE(board.canClickField(1, 1)) << "records still queued";
    drain(board);
    const struct {
        P field;
        bool taken;
    } cases[] = {{{3, 3}, true},    {{0, 0}, true},   {{4, 1}, false},  {{8, 8}, false},
                 {{-1, -1}, false}, {{-1, 0}, false}, {{0, -1}, false}, {{-1, 3}, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(board.canClickField(c.field.x, c.field.y), c.taken) << c.field.x << ", " << c.field.y;
        if (!c.taken) {
            EXPECT_FALSE(board.clickField(c.field.x, c.field.y)) << c.field.x << ", " << c.field.y;
        }
    }
    EXPECT_FALSE(board.hasPendingMoves());
    EXPECT_EQ(board.getSelectedX(), 1);
    board.setHuman(1, false);
    EXPECT_FALSE(board.canClickField(0, 0)) << "the computer's turn";
}

TEST_F(GameBoardTest, PopMove_LastRecordOfACompletedMovePassesTheTurn_AComputerRepliesAtOnce) {
    EXPECT_FALSE(board.popMove());
    board.setHuman(2, false);
    board.setField(1, 1, 2);
    ASSERT_TRUE(click(board, {0, 0, 1, 0, 0}));
    drain(board, 2);
    EXPECT_EQ(board.getCurrentPlayer(), 1) << "the conversion is still queued";
    EXPECT_EQ(drain(board, 1), (Moves{{1, 1, 1, 1, MoveConvert}}));
    EXPECT_EQ(board.getCurrentPlayer(), 2);
    EXPECT_EQ(board.frontMove(), (Move{8, 8, 7, 7, MoveSplit}));
}

// A side without figures or moves loses, even on the other's turn, and the
// winner may go on moving; a walled-in computer has no target.
TEST_F(GameBoardTest, Winner_SideWithoutFiguresOrMovesLoses_OnceTheRecordsAreTaken) {
    board.setField(8, 8, 0);
    EXPECT_EQ(board.winner(), 1);
    EXPECT_FALSE(board.isRunning());
    EXPECT_TRUE(board.canClickField(0, 0));
    board.setHuman(2, false);
    wallIn(8, 8, 1);
    EXPECT_EQ(board.chooseTarget(2), P());
    EXPECT_FALSE(board.computerMove(2));
    ASSERT_TRUE(click(board, {0, 0, 1, 0, 0}));
    EXPECT_EQ(board.winner(), 0) << "held back while records are queued";
    drain(board);
    EXPECT_EQ(board.getCurrentPlayer(), 2);
    EXPECT_EQ(board.winner(), 1);
    place({{0, 0, 1}, {8, 8, 2}});
    wallIn(0, 0, 2);
    EXPECT_EQ(board.winner(), 2);
}

// Computer player -------------------------------------------------------------

TEST_F(GameBoardTest, HardLevel_WeighsFieldsAndTakesTheFirstBestWithTheNearestFigure) {
    place({{4, 2, 1}, {3, 5, 1}, {5, 5, 1}});
    EXPECT_EQ(board.chooseSource(4, 4, 1), (P{3, 5})) << "a split beats an earlier jump";
    EXPECT_EQ(board.findNearestFigure(4, 7, 1), (P{3, 5})) << "row-major first among equals";
    EXPECT_EQ(board.findNearestFigure(6, 0, 1), (P{4, 2})) << "beside the edge";
    EXPECT_EQ(board.findNearestFigure(8, 8, 1), P()) << "none within two";
    place({{0, 4, 1}, {3, 4, 2}, {3, 3, 2}});
    ASSERT_TRUE(board.computerMove(1));
    EXPECT_EQ(board.frontMove(), (Move{0, 4, 2, 3, MoveJump}));
}

TEST_F(GameBoardTest, EasyLevel_StopsAtAnImprovementOnlyAfterAHighDraw) {
    board.setDifficulty(GameBoard::kEasy);
    int draw = 22937;
    int draws = 0;
    board.setRandomSource([&] {
        ++draws;
        return draw;
    });
    // (1, 0) weighs 3 and comes first; (1, 1) weighs 5.
    place({{0, 0, 1}, {2, 2, 2}});
    EXPECT_EQ(board.chooseTarget(1), (P{1, 0}));
    EXPECT_EQ(draws, 1);
    draw = 22936;
    EXPECT_EQ(board.chooseTarget(1), (P{1, 1}));
    EXPECT_EQ(draws, 3) << "one draw after each improvement";
}

constexpr int kSize = GameBoard::kBoardSize;

// The fields row-major, one digit each.
template <class Board>
std::string fields(const Board& board) {
    std::string text;
    for (int i = 0; i < kSize * kSize; ++i) {
        text += static_cast<char>('0' + board.getField(i % kSize, i / kSize));
    }
    return text;
}

// A whole game between computer players, every queued record replayed on a
// board that learns of the game only through the queue, as the table scene
// does, beside a position that plays each move by the search's rules. With an
// expert, it plays one side (by the seed) on a small node budget and the
// winner is written out. Returns the first fault found.
std::string replayGame(int level, unsigned seed, ExpertSearch* expert = nullptr, int* winner = nullptr) {
    std::mt19937 rng(seed);
    GameBoard board;
    // Hard games from the start position are all alike: up to eight easy
    // moves open them.
    const int easyOpening = level == GameBoard::kHard ? static_cast<int>(seed % 9) : 0;
    board.setDifficulty(easyOpening > 0 ? GameBoard::kEasy : level);
    board.setRandomSource([&] { return static_cast<int>(rng() % 32768); });
    const int expertSide = expert != nullptr ? 1 + static_cast<int>(seed % 2) : 0;
    board.setHuman(expertSide, true);
    ExpertSearch::Limits limits;
    limits.nodes = 2000;
    board.newGame();
    CompactPosition shown; // as the records show it
    CompactPosition ruled; // as the rules play it
    int moves = 0;
    // Jumps keep the figure count, so two greedy players may chase each other for ever.
    for (; moves < 400; board.popMove()) {
        if (!board.hasPendingMoves()) {
            if (board.getCurrentPlayer() != expertSide || board.winner() != 0) {
                break;
            }
            const CompactPosition position = CompactPosition::fromBoard(board, expertSide);
            board.setMoveDone(board.performCompactMove(expert->run(position, limits).move, expertSide));
        }
        const Move m = board.frontMove();
        const int mover = board.getCurrentPlayer();
        const bool jump = m.type == MoveJump;
        if (m.type == MoveClear) {
            shown = ruled = CompactPosition();
        } else if (m.type == MoveCreate) {
            shown.setField(m.fromX, m.fromY, m.toX);
            ruled.setField(m.fromX, m.fromY, m.toX);
        } else if (m.type == MoveConvert) {
            if (shown.getField(m.fromX, m.fromY) != 3 - mover) {
                return "conversion of no opposing figure";
            }
            shown.setField(m.fromX, m.fromY, mover);
        } else if (jump || m.type == MoveSplit) {
            const auto to = static_cast<uint8_t>(CompactPosition::fieldAt(m.toX, m.toY));
            const CompactMove move{
                jump ? static_cast<uint8_t>(CompactPosition::fieldAt(m.fromX, m.fromY)) : to, to};
            // One of the search's moves: what it offers is what the board allows.
            CompactMove offered[CompactPosition::kMaxMoves];
            CompactMove* end = offered + ruled.generateMoves(offered);
            if (mover != ruled.toMove() ||
                GameBoard::distance(m.fromX, m.fromY, m.toX, m.toY) != (jump ? 2 : 1) ||
                ruled.getField(m.fromX, m.fromY) != mover || std::find(offered, end, move) == end) {
                return "move against the rules";
            }
            ruled.play(move);
            shown.setField(m.fromX, m.fromY, jump ? 0 : mover);
            shown.setField(m.toX, m.toY, mover);
            if (++moves == easyOpening) {
                board.setDifficulty(level);
            }
        } else {
            return "unexpected record type " + std::to_string(m.type);
        }
        // The next computer move is queued inside popMove, so all must agree now.
        if (board.countPendingMoves() == 1 &&
            (fields(shown) != fields(ruled) || fields(ruled) != fields(board))) {
            return "shown board differs";
        }
    }
    if (winner != nullptr) {
        *winner = board.winner();
    }
    if (board.hasPendingMoves()) {
        return board.winner() == 0 ? "" : "result while records are queued";
    }
    if (ruled.winner() == 0 || board.winner() != ruled.winner() || board.isRunning()) {
        return "winner() is " + std::to_string(board.winner()) + ", the rules say " +
               std::to_string(ruled.winner());
    }
    return "";
}

TEST(GameBoardProperty, ComputerGamesAtBothLevels_ReplayFaithfullyAndEndAsCounted) {
    for (const int level : {GameBoard::kEasy, GameBoard::kHard}) {
        for (unsigned seed = 0; seed < 200; ++seed) {
            ASSERT_EQ(replayGame(level, seed), "") << "level " << level << ", seed " << seed;
        }
    }
}

// The splits and jumps of a game between two computers at one level, from a
// seeded random source, as "fromX fromY toX toY" words. Hard games open with
// seed % 9 easy moves, since from the start they are all alike.
std::string computerGame(int level, unsigned seed) {
    constexpr int kMostMoves = 400;
    std::mt19937 rng(seed);
    GameBoard board;
    const int easyOpening = level == GameBoard::kHard ? static_cast<int>(seed % 9) : 0;
    board.setRandomSource([&] { return static_cast<int>(rng() % 32768); });
    start(board, false, false, easyOpening > 0 ? GameBoard::kEasy : level);
    std::string text;
    for (int moves = 0; moves < kMostMoves && board.hasPendingMoves(); board.popMove()) {
        const Move m = board.frontMove();
        if (m.type != MoveSplit && m.type != MoveJump) {
            continue;
        }
        for (const int c : {m.fromX, m.fromY, m.toX, m.toY}) {
            text += static_cast<char>('0' + c);
        }
        text += ' ';
        if (++moves == easyOpening) {
            board.setDifficulty(level);
        }
    }
    return text;
}

// FNV-1a, 64 bits.
uint64_t digest(const std::string& text) {
    uint64_t hash = 14695981039346656037u;
    for (const char c : text) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211u;
    }
    return hash;
}

// The easy and hard levels play move for move as they did before the
// expert's search grew stronger: the moves of 20 seeded games at each level,
// digested, as the code before that change played them (first game in
// full, to show where a change begins).
TEST(GameBoardProperty, EasyAndHardLevels_PlayMoveForMoveAsBefore) {
    const struct {
        int level;
        const char* firstGame;
        size_t moves;
        uint64_t digest;
    } cases[] = {
        {GameBoard::kEasy, "0010 8877 0001 7766 1020 6655 0011 5565 1021 5556 0112 5544 0102 4422 2030 2231 ",
         1964, 0xb78686405eff07d1u},
        {GameBoard::kHard, "0010 8877 0001 7787 0011 7778 1020 7776 1021 7686 0112 7667 0102 7666 1122 6675 ",
         1961, 0x78cad18d5d552741u},
    };
    constexpr unsigned kGames = 20;
    constexpr size_t kWordLength = 5;
    for (const auto& c : cases) {
        std::string all;
        for (unsigned seed = 0; seed < kGames; ++seed) {
            all += computerGame(c.level, seed) + "|";
        }
        EXPECT_EQ(all.substr(0, std::string(c.firstGame).size()), c.firstGame) << "level " << c.level;
        EXPECT_EQ((all.size() - kGames) / kWordLength, c.moves) << "level " << c.level;
        EXPECT_EQ(digest(all), c.digest) << "level " << c.level;
    }
}

// The result is the board's, so the test does not depend on the search's own
// idea of a good position.
TEST(GameBoardProperty, ExpertBeatsTheEasyAndHardLevels) {
    ExpertSearch search(16);
    int lost = 0;
    for (const int level : {GameBoard::kEasy, GameBoard::kHard}) {
        for (unsigned seed = 0; seed < 6; ++seed) {
            int winner = 0;
            ASSERT_EQ(replayGame(level, seed, &search, &winner), "")
                << "level " << level << ", seed " << seed;
            lost += winner == 1 + static_cast<int>(seed % 2) ? 0 : 1;
        }
    }
    EXPECT_LE(lost, 1);
}

// What a take-back restores: fields, player to move, result, an empty queue.
std::string state(const GameBoard& board) {
    std::string text = fields(board);
    for (const int value : {board.getCurrentPlayer(), board.winner(), int{board.isRunning()},
                            board.countPendingMoves(), int{board.isMoveDone()}}) {
        text += " " + std::to_string(value);
    }
    return text;
}

// Humans play random moves against each other or the hard computer and take
// back at random: in the middle of the answer, right after a move, at the end.
// The moves are the search's, and its key must follow the board. Returns the
// first fault found.
std::string playGame(unsigned seed) {
    std::mt19937 rng(seed);
    GameBoard board;
    start(board, seed % 3 != 2, seed % 3 != 1);
    drain(board);
    std::vector<std::pair<Move, std::string>> played; // each human move and the state it met
    int takeBacks = 0;
    for (int step = 0; step < 200; ++step) {
        const int player = board.getCurrentPlayer();
        const CompactPosition position = CompactPosition::fromBoard(board, player);
        const bool stuck = board.winner() != 0 || board.hasPendingMoves();
        if ((stuck || rng() % 4 == 0) && board.canTakeBack()) {
            const auto [taken, before] = played.back();
            played.pop_back();
            // The counts the display shows follow the board until it writes them.
            if (!board.takeBack() || board.getSelectedX() != taken.fromX ||
                board.getSelectedY() != taken.fromY || state(board) != before ||
                board.getFigureCount(1) != board.countFields(1) ||
                board.getFigureCount(2) != board.countFields(2)) {
                return "take-back " + std::to_string(takeBacks) +
                       " did not restore the board, selection or counts";
            }
            ++takeBacks;
            continue;
        }
        if (stuck) {
            break;
        }
        CompactMove moves[CompactPosition::kMaxMoves];
        const int n = position.generateMoves(moves);
        if (n == 0) {
            return "no move in a running game";
        }
        const CompactMove move = moves[rng() % static_cast<unsigned>(n)];
        const P to{CompactPosition::fieldX(move.to), CompactPosition::fieldY(move.to)};
        const P from = move.isSplit()
                           ? board.findNearestFigure(to.x, to.y, player)
                           : P{CompactPosition::fieldX(move.from), CompactPosition::fieldY(move.from)};
        played.push_back({{from.x, from.y, to.x, to.y, 0}, state(board)});
        if (!click(board, played.back().first)) {
            return "no human move";
        }
        CompactPosition next = position;
        next.play(move);
        if (next.key() != next.computeKey() ||
            next.key() != CompactPosition::fromBoard(board, 3 - player).key() ||
            next.key() == CompactPosition::fromBoard(board, player).key()) {
            return "the search's key differs";
        }
        drain(board, rng() % 3 == 0 ? static_cast<int>(rng() % 4) : -1);
    }
    return takeBacks > 0 ? "" : "nothing taken back";
}

TEST(TakeBack, RandomGamesWithRandomTakeBacks_RestoreTheBoardBeforeTheMove_TheSearchKeyFollows) {
    for (unsigned seed = 0; seed < 100; ++seed) {
        ASSERT_EQ(playGame(seed), "") << "seed " << seed;
    }
}

// The expert level on the board: its search runs on a thread of its own and
// its move reaches the queue through the calls the table scene makes every
// frame, which poll() makes as the scene does.

// A new game while the first one's search runs leaves only the new game's
// move; the start records go out without passing the turn.
TEST(ExpertGame, MoveArrivesThroughTheQueueAndTheBoardWaitsUntilThen) {
    GameBoard board;
    start(board, false, true, GameBoard::kExpert);
    board.setField(4, 4, GameBoard::kPlayer2);
    board.newGame();
    EXPECT_TRUE(board.isThinking());
    EXPECT_EQ(drain(board).size(), 3u);
    EXPECT_EQ(board.getCurrentPlayer(), GameBoard::kPlayer1);
    EXPECT_FALSE(board.isMoveDone());
    ASSERT_TRUE(poll([&] { return board.hasPendingMoves(); }));
    const Move move = board.frontMove();
    EXPECT_TRUE(move.type == MoveSplit || move.type == MoveJump);
    EXPECT_EQ(board.getField(move.toX, move.toY), GameBoard::kPlayer1);
    EXPECT_TRUE(board.isMoveDone());
    EXPECT_FALSE(board.isThinking());
    EXPECT_EQ(drain(board).size(), 1u);
    EXPECT_EQ(board.getCurrentPlayer(), GameBoard::kPlayer2);
}

// A take-back, a resized or destroyed board stop the search; a move that
// arrives after its side was handed to a human, or after a field changed, is
// dropped.
TEST(ExpertGame, TakeBackResizingOrDestroyingTheBoardStopTheSearch_AMoveForAChangedGameIsDropped) {
    GameBoard board;
    start(board, true, false, GameBoard::kExpert);
    drain(board);
    const Move split{0, 0, 1, 1, 0};
    ASSERT_TRUE(click(board, split));
    drain(board);
    ASSERT_TRUE(board.isThinking());
    ASSERT_TRUE(board.takeBack());
    EXPECT_FALSE(board.isThinking());
    EXPECT_FALSE(board.hasPendingMoves());
    EXPECT_EQ(board.countFields(GameBoard::kPlayer1), 1);
    ASSERT_TRUE(click(board, split));
    drain(board);
    board.setHuman(GameBoard::kPlayer2, true);
    EXPECT_TRUE(poll([&] { return board.hasPendingMoves() || !board.isThinking(); }));
    EXPECT_FALSE(board.hasPendingMoves());
    start(board, true, false, GameBoard::kExpert);
    drain(board);
    ASSERT_TRUE(click(board, split));
    drain(board);
    board.setField(4, 4, GameBoard::kPlayer1);
    EXPECT_TRUE(poll([&] { return board.hasPendingMoves() || !board.isThinking(); }));
    EXPECT_FALSE(board.hasPendingMoves()) << "a move found for the board before the change";
    start(board, true, false, GameBoard::kExpert);
    drain(board);
    ASSERT_TRUE(click(board, split));
    drain(board);
    ASSERT_TRUE(board.isThinking());
    board.setBoardSize(GameBoard::kBoardSize, GameBoard::kBoardSize);
    EXPECT_FALSE(board.isThinking());
    auto doomed = std::make_unique<GameBoard>();
    start(*doomed, false, true, GameBoard::kExpert);
    ASSERT_TRUE(doomed->isThinking());
    doomed.reset();
}

TEST(CompactPosition, RefusesMovesThatAreNotThere) {
    GameBoard board;
    board.setField(0, 0, 1);
    board.setField(8, 8, 2);
    const CompactPosition position = CompactPosition::fromBoard(board, 1);
    const struct {
        CompactMove move;
        bool legal;
    } cases[] = {{{10, 10}, true},  {{0, 20}, true}, {{0, 30}, false},  {{11, 11}, false},
                 {{80, 70}, false}, {{0, 0}, false}, {{200, 7}, false}, {{}, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(position.isLegal(c.move), c.legal) << int(c.move.from) << "->" << int(c.move.to);
    }
}

} // namespace
