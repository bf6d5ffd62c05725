#include "game/gameboard.h"

#include "base/log.h"
#include "base/tools.h"
#include "game/compactposition.h"
#include "game/expertplayer.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <string>
#include <system_error>

namespace {

const char* const kLogSource = "GameBoard";

constexpr int kRandomRange = 32768;
// The easy level ends its search when a draw exceeds this: a chance of
// 9831 in 32768 after each improvement.
constexpr int kEasyStopThreshold = 22936;
// Clicks and moves reach at most this far.
constexpr int kClickRange = 3;
// Rows and columns of the near and far rings that findNearestFigure searches.
constexpr int kNearRadius = 1;
constexpr int kFarRadius = 2;
// Gain weights: an opposing neighbour would be converted, so it counts twice.
constexpr int kOwnNeighbourGain = 1;
constexpr int kOpposingNeighbourGain = 2;
// Added to a reachable field's weight, less its distance, so a split (d = 1)
// beats a jump (d = 2) of equal gain and every reachable field weighs >= 1.
constexpr int kReachBonus = 3;

static_assert((RAND_MAX + 1u) % kRandomRange == 0, "folding rand() to 0..32767 must stay uniform");

} // namespace

GameBoard::GameBoard() : randomSource(defaultRandom) {
    setBoardSize(kBoardSize, kBoardSize);
}

GameBoard::~GameBoard() = default;

int32_t GameBoard::getField(int x, int y) const {
    if (!isOnBoard(x, y)) {
        return kEmpty;
    }
    return fields[index(x, y)];
}

int GameBoard::countFields(int32_t value) const {
    return static_cast<int>(std::count(fields.begin(), fields.end(), value));
}

int GameBoard::distance(int x1, int y1, int x2, int y2) {
    return std::max(std::abs(x1 - x2), std::abs(y1 - y2));
}

bool GameBoard::isOnBoard(int x, int y) const {
    return x >= 0 && y >= 0 && x < width && y < height;
}

bool GameBoard::isHuman(int player) const {
    return isPlayer(player) && human[slot(player)];
}

bool GameBoard::isRemote(int player) const {
    return isPlayer(player) && remote[slot(player)];
}

int32_t GameBoard::getFigureCount(int player) const {
    return isPlayer(player) ? figureCounts[slot(player)] : 0;
}

bool GameBoard::hasPendingMoves() {
    collectExpertMove();
    return !moveQueue.empty();
}

bool GameBoard::isThinking() const {
    return expert && expert->isThinking();
}

Move GameBoard::frontMove() const {
    return moveQueue.empty() ? Move() : moveQueue.front();
}

int GameBoard::winner() const {
    const int count1 = countFields(kPlayer1);
    const int count2 = countFields(kPlayer2);
    if (count1 == 0 && count2 == 0) {
        return 0;
    }
    if (!moveQueue.empty()) {
        return 0;
    }
    if (countFields(kEmpty) == 0) {
        return count1 > count2 ? kPlayer1 : kPlayer2;
    }
    if (count1 == 0) {
        return kPlayer2;
    }
    if (count2 == 0) {
        return kPlayer1;
    }
    // Checked for both players whatever the turn: a side that cannot move has lost.
    if (chooseTarget(kPlayer1).x == -1) {
        return kPlayer2;
    }
    if (chooseTarget(kPlayer2).x == -1) {
        return kPlayer1;
    }
    return 0;
}

bool GameBoard::isRunning() const {
    return winner() == 0 && running;
}

bool GameBoard::canClickField(int x, int y) const {
    if (!running || !moveQueue.empty() || !isHuman(currentPlayer)) {
        return false;
    }
    // Fields off the board read as empty; without this a click beside a
    // selected corner figure would move it off the board.
    if (!isOnBoard(x, y)) {
        return false;
    }
    if (getField(x, y) == currentPlayer) {
        return true;
    }
    if (!hasSelection() || getField(x, y) != kEmpty) {
        return false;
    }
    return distance(x, y, selectedX, selectedY) < kClickRange;
}

bool GameBoard::canTakeBack() const {
    return std::any_of(history.begin(), history.end(),
                       [this](const Snapshot& snapshot) { return isHuman(snapshot.mover); });
}

void GameBoard::setBoardSize(int newWidth, int newHeight) {
    if (newWidth < kMinBoardSize || newHeight < kMinBoardSize || newWidth > kMaxBoardSize ||
        newHeight > kMaxBoardSize) {
        log(WARNING, kLogSource,
            "Board size " + toString(newWidth) + " x " + toString(newHeight) + " refused.");
        return;
    }
    cancelExpert();
    width = newWidth;
    height = newHeight;
    fields.assign(static_cast<size_t>(width * height), kEmpty);
    human = {false, false};
    remote = {false, false};
    difficulty = kHard;
    figureCounts = {0, 0};
    // The queue, the selection, the history and the moves name fields of the old board.
    moveQueue.clear();
    history.clear();
    moves.clear();
    clearSelection();
    currentPlayer = -1;
    moveDone = false;
    running = false;
}

void GameBoard::setField(int x, int y, int32_t value) {
    if (!isOnBoard(x, y) || (value != kEmpty && !isPlayer(value))) {
        return;
    }
    fields[index(x, y)] = value;
}

void GameBoard::clearFields() {
    std::fill(fields.begin(), fields.end(), kEmpty);
}

void GameBoard::setHuman(int player, bool flag) {
    if (isPlayer(player)) {
        human[slot(player)] = flag;
        remote[slot(player)] = remote[slot(player)] && !flag;
    }
}

void GameBoard::setRemote(int player, bool flag) {
    if (isPlayer(player)) {
        remote[slot(player)] = flag;
        human[slot(player)] = human[slot(player)] && !flag;
    }
}

void GameBoard::setFigureCount(int player, int32_t count) {
    if (isPlayer(player)) {
        figureCounts[slot(player)] = count;
    }
}

void GameBoard::setDifficulty(int level) {
    if (level == kEasy || level == kHard || level == kExpert) {
        difficulty = level;
    }
}

void GameBoard::newGame() {
    cancelExpert();
    running = true;
    moveQueue.clear();
    history.clear();
    moves.clear();
    currentPlayer = kPlayer1;
    figureCounts = {0, 0};
    clearSelection();

    // The far corner is (8, 8) on the game's 9 x 9 board.
    const int farX = width - 1;
    const int farY = height - 1;
    clearFields();
    setField(0, 0, kPlayer1);
    setField(farX, farY, kPlayer2);
    queueMove(0, 0, 0, 0, MoveClear);
    queueMove(0, 0, kPlayer1, 0, MoveCreate);
    queueMove(farX, farY, kPlayer2, 0, MoveCreate);

    moveDone = false;
    if (isComputer(kPlayer1)) {
        playComputer(kPlayer1);
    }
}

bool GameBoard::clickField(int x, int y) {
    if (!isOnBoard(x, y)) {
        return false;
    }
    const int player = currentPlayer;
    if (getField(x, y) == player) {
        if (hasSelection() && x == selectedX && y == selectedY) {
            queueMove(x, y, x, y, MoveDeselect);
            clearSelection();
            return false;
        }
        if (hasSelection()) {
            queueMove(selectedX, selectedY, selectedX, selectedY, MoveDeselect);
        }
        selectedX = x;
        selectedY = y;
        queueMove(x, y, x, y, MoveSelect);
        return false;
    }
    if (hasSelection() && getField(x, y) == kEmpty && distance(x, y, selectedX, selectedY) < kClickRange) {
        // A refused move keeps the selection, so the click changes nothing.
        if (!performMove(selectedX, selectedY, x, y)) {
            return false;
        }
        clearSelection();
        return true;
    }
    return false;
}

bool GameBoard::popMove() {
    collectExpertMove();
    if (moveQueue.empty()) {
        return false;
    }
    moveQueue.pop_front();
    // The turn passes as the last record of a completed move is taken out,
    // when its animation starts, so a computer's reply is queued right away.
    if (!moveQueue.empty() || !moveDone) {
        return true;
    }
    passTurn();
    return true;
}

bool GameBoard::performMove(int fromX, int fromY, int toX, int toY) {
    if (!isOnBoard(fromX, fromY) || !isOnBoard(toX, toY)) {
        return false;
    }
    const int d = distance(fromX, fromY, toX, toY);
    if (d == 0 || d > kJumpDistance) {
        return false;
    }
    const int32_t player = getField(fromX, fromY);
    if (player == kEmpty || getField(toX, toY) != kEmpty) {
        return false;
    }

    remember(player);
    setField(toX, toY, player);
    const MoveType type = d == kJumpDistance ? MoveJump : MoveSplit;
    if (type == MoveJump) {
        setField(fromX, fromY, kEmpty);
    }
    queueMove(fromX, fromY, toX, toY, type);
    moves.push_back({fromX, fromY, toX, toY, type});
    // Row-major scan: the display converts the neighbours in this order.
    for (int y = toY - 1; y <= toY + 1; ++y) {
        for (int x = toX - 1; x <= toX + 1; ++x) {
            const int32_t value = getField(x, y);
            if (value != kEmpty && value != player) {
                setField(x, y, player);
                queueMove(x, y, x, y, MoveConvert);
            }
        }
    }
    return true;
}

bool GameBoard::playRemote(int fromX, int fromY, int toX, int toY) {
    const int d = distance(fromX, fromY, toX, toY);
    if (!running || !isRemote(currentPlayer) || moveDone || getField(fromX, fromY) != currentPlayer ||
        !isOnBoard(toX, toY) || getField(toX, toY) != kEmpty || d < kSplitDistance || d > kJumpDistance) {
        return false;
    }
    // A selection of the other side's would name a figure that may be won now.
    clearSelection();
    performMove(fromX, fromY, toX, toY);
    moveDone = true;
    return true;
}

bool GameBoard::takeBack() {
    // The human move taken back is the last one; any computer's answer after it goes too.
    auto taken = std::find_if(history.rbegin(), history.rend(),
                              [this](const Snapshot& snapshot) { return isHuman(snapshot.mover); });
    if (taken == history.rend()) {
        return false;
    }
    cancelExpert();
    // Whatever the search still delivers belongs to a position that is gone.
    expertPlayer = 0;
    Snapshot snapshot = std::move(*taken);
    // Each kept position stands before one move, so the moves end as the
    // positions do; a continued game may know fewer positions than moves.
    const auto dropped = static_cast<size_t>(std::distance(std::prev(taken.base()), history.end()));
    moves.resize(moves.size() - std::min(dropped, moves.size()));
    history.erase(std::prev(taken.base()), history.end());
    fields = std::move(snapshot.fields);
    currentPlayer = snapshot.mover;
    selectedX = snapshot.selectedX;
    selectedY = snapshot.selectedY;
    moveQueue.clear();
    moveDone = false;
    // The display writes its counts each frame; until then they follow the board.
    figureCounts = {countFields(kPlayer1), countFields(kPlayer2)};
    return true;
}

GameBoard::Record GameBoard::record() const {
    Record r;
    r.fields = fields;
    r.toMove = moveDone && isPlayer(currentPlayer) ? opponent(currentPlayer) : currentPlayer;
    r.human = human;
    r.remote = remote;
    r.difficulty = difficulty;
    r.history = history;
    r.moves = moves;
    return r;
}

bool GameBoard::restore(const Record& r) {
    const auto fits = [this](const std::vector<int32_t>& values) {
        return values.size() == fields.size() && std::all_of(values.begin(), values.end(), [](int32_t v) {
                   return v == kEmpty || isPlayer(v);
               });
    };
    const auto fitsSnapshot = [&](const Snapshot& s) {
        return fits(s.fields) && isPlayer(s.mover) &&
               ((s.selectedX == -1 && s.selectedY == -1) || isOnBoard(s.selectedX, s.selectedY));
    };
    const auto fitsMove = [this](const Move& m) {
        return (m.type == MoveSplit || m.type == MoveJump) && isOnBoard(m.fromX, m.fromY) &&
               isOnBoard(m.toX, m.toY);
    };
    const bool both = (r.human[0] && r.remote[0]) || (r.human[1] && r.remote[1]);
    if (both || !fits(r.fields) || !isPlayer(r.toMove) ||
        (r.difficulty != kEasy && r.difficulty != kHard && r.difficulty != kExpert) ||
        !std::all_of(r.history.begin(), r.history.end(), fitsSnapshot) ||
        !std::all_of(r.moves.begin(), r.moves.end(), fitsMove)) {
        return false;
    }
    cancelExpert();
    expertPlayer = 0;
    fields = r.fields;
    currentPlayer = r.toMove;
    human = r.human;
    remote = r.remote;
    difficulty = r.difficulty;
    history = r.history;
    moves = r.moves;
    moveQueue.clear();
    clearSelection();
    moveDone = false;
    running = true;
    figureCounts = {countFields(kPlayer1), countFields(kPlayer2)};
    return true;
}

bool GameBoard::showPosition(const std::vector<int32_t>& shown, int toMove) {
    if (shown.size() != fields.size() || !isPlayer(toMove) ||
        !std::all_of(shown.begin(), shown.end(), [](int32_t v) { return v == kEmpty || isPlayer(v); })) {
        return false;
    }
    cancelExpert();
    expertPlayer = 0;
    fields = shown;
    currentPlayer = toMove;
    // Without a human no click is taken and no position is kept to take
    // back; not running, no computer is asked to move.
    human = {false, false};
    remote = {false, false};
    history.clear();
    moves.clear();
    moveQueue.clear();
    clearSelection();
    moveDone = false;
    running = false;
    figureCounts = {countFields(kPlayer1), countFields(kPlayer2)};
    return true;
}

void GameBoard::continueTurn() {
    if (running && isComputer(currentPlayer) && !moveDone && !isThinking()) {
        playComputer(currentPlayer);
    }
}

bool GameBoard::computerMove(int player) {
    if (!isPlayer(player)) {
        return false;
    }
    const Position target = chooseTarget(player);
    if (target.x == -1) {
        return false;
    }
    const Position source = chooseSource(target.x, target.y, player);
    if (source.x == -1) {
        return false;
    }
    return performMove(source.x, source.y, target.x, target.y);
}

GameBoard::Position GameBoard::chooseTarget(int player) const {
    if (!isPlayer(player)) {
        return Position();
    }
    std::vector<int32_t> weights(fields.size());
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            weights[index(x, y)] = fieldWeight(x, y, player);
        }
    }
    int32_t best = 0;
    Position result;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int32_t weight = weights[index(x, y)];
            if (weight <= best) {
                continue;
            }
            result = {x, y};
            best = weight;
            // Drawn only after an improvement, so the easy level still finds
            // a target whenever one exists.
            if (difficulty == kEasy && randomSource() > kEasyStopThreshold) {
                return result;
            }
        }
    }
    return result;
}

GameBoard::Position GameBoard::chooseSource(int x, int y, int player) const {
    return findNearestFigure(x, y, player);
}

GameBoard::Position GameBoard::findNearestFigure(int x, int y, int player) const {
    if (!isPlayer(player) || !isOnBoard(x, y)) {
        return Position();
    }
    // The near ring is searched first so that a split is always preferred.
    for (const int radius : {kNearRadius, kFarRadius}) {
        for (int fy = y - radius; fy <= y + radius; ++fy) {
            for (int fx = x - radius; fx <= x + radius; ++fx) {
                if (getField(fx, fy) == player) {
                    return {fx, fy};
                }
            }
        }
    }
    return Position();
}

int32_t GameBoard::fieldWeight(int x, int y, int player) const {
    // A position off the board is never a target.
    if (!isOnBoard(x, y) || getField(x, y) != kEmpty) {
        return -1;
    }
    int32_t gain = 0;
    for (int fy = y - 1; fy <= y + 1; ++fy) {
        for (int fx = x - 1; fx <= x + 1; ++fx) {
            const int32_t value = getField(fx, fy);
            if (value == player) {
                gain += kOwnNeighbourGain;
            } else if (value == opponent(player)) {
                gain += kOpposingNeighbourGain;
            }
        }
    }
    const Position source = findNearestFigure(x, y, player);
    if (source.x == -1) {
        return 0;
    }
    return gain + kReachBonus - distance(x, y, source.x, source.y);
}

void GameBoard::setRandomSource(RandomSource source) {
    randomSource = source ? std::move(source) : RandomSource(defaultRandom);
}

int GameBoard::defaultRandom() {
    return std::rand() % kRandomRange;
}

void GameBoard::clearSelection() {
    selectedX = -1;
    selectedY = -1;
}

void GameBoard::remember(int mover) {
    if (!human[0] && !human[1]) {
        return;
    }
    // A move made by click keeps its figure selected until it is made.
    const bool ownSelection = mover == currentPlayer;
    history.push_back({fields, ownSelection ? selectedX : -1, ownSelection ? selectedY : -1, mover});
}

void GameBoard::queueMove(int fromX, int fromY, int toX, int toY, MoveType type) {
    moveQueue.push_back({fromX, fromY, toX, toY, type});
}

void GameBoard::passTurn() {
    currentPlayer = currentPlayer != kPlayer1 ? kPlayer1 : kPlayer2;
    moveDone = false;
    if (isComputer(currentPlayer)) {
        playComputer(currentPlayer);
    }
}

void GameBoard::playComputer(int player) {
    // The expert's move completes the turn when it arrives.
    if (difficulty == kExpert && startExpert(player)) {
        return;
    }
    // A computer that cannot move queues nothing; winner() then decides.
    computerMove(player);
    moveDone = true;
}

bool GameBoard::startExpert(int player) {
    // The search knows only the game's 9 x 9 board; a player without a move
    // is left to computerMove, which queues nothing, as at the other levels.
    if (!CompactPosition::fits(*this)) {
        return false;
    }
    const CompactPosition position = CompactPosition::fromBoard(*this, player);
    if (!position.hasMove(player)) {
        return false;
    }
    if (!expert) {
        expert = std::make_unique<ExpertPlayer>();
    }
    try {
        expert->start(position);
    } catch (const std::system_error& e) {
        log(WARNING, kLogSource, std::string("Expert search not started, the hard level moves: ") + e.what());
        return false;
    }
    expertFields = fields;
    expertPlayer = player;
    return true;
}

void GameBoard::collectExpertMove() {
    if (!expert) {
        return;
    }
    const std::optional<ExpertSearch::Result> result = expert->takeResult();
    if (!result) {
        return;
    }
    // A move found for another position or another player is stale.
    if (!running || currentPlayer != expertPlayer || !isComputer(expertPlayer) || fields != expertFields) {
        return;
    }
    if (performCompactMove(result->move, expertPlayer)) {
        moveDone = true;
    }
}

bool GameBoard::performCompactMove(CompactMove move, int player) {
    if (move.isNone() || !isPlayer(player)) {
        return false;
    }
    const int toX = CompactPosition::fieldX(move.to);
    const int toY = CompactPosition::fieldY(move.to);
    const Position source =
        move.isSplit() ? findNearestFigure(toX, toY, player)
                       : Position{CompactPosition::fieldX(move.from), CompactPosition::fieldY(move.from)};
    if (source.x == -1 || getField(source.x, source.y) != player) {
        return false;
    }
    return performMove(source.x, source.y, toX, toY);
}

void GameBoard::cancelExpert() {
    if (expert) {
        expert->cancel();
    }
}
