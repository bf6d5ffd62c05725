#include "net/rulesgame.h"

#include "game/compactposition.h"
#include "game/gameboard.h"
#include "game/notation.h"

RulesGame::RulesGame() : gameBoard(std::make_unique<GameBoard>()) {
    reset();
}

RulesGame::~RulesGame() = default;
RulesGame::RulesGame(RulesGame&&) noexcept = default;
RulesGame& RulesGame::operator=(RulesGame&&) noexcept = default;

void RulesGame::reset() {
    // The hard level draws no random numbers: the result check stays the same
    // on every machine.
    gameBoard->setDifficulty(GameBoard::kHard);
    gameBoard->setHuman(GameBoard::kPlayer1, true);
    gameBoard->setHuman(GameBoard::kPlayer2, true);
    gameBoard->newGame();
    drain();
    played.clear();
}

bool RulesGame::canPlay(std::string_view notation) const {
    const std::optional<Move> move = Notation::parseMove(notation);
    if (!move || result() != 0) {
        return false;
    }
    const int player = gameBoard->getCurrentPlayer();
    return gameBoard->canClickField(move->fromX, move->fromY) &&
           gameBoard->getField(move->fromX, move->fromY) == player &&
           gameBoard->getField(move->toX, move->toY) == GameBoard::kEmpty;
}

std::vector<std::string> RulesGame::legalMoves() const {
    std::vector<std::string> moves;
    if (result() != 0) {
        return moves;
    }
    const int player = gameBoard->getCurrentPlayer();
    const int side = GameBoard::kBoardSize;
    for (int fromY = 0; fromY < side; ++fromY) {
        for (int fromX = 0; fromX < side; ++fromX) {
            if (gameBoard->getField(fromX, fromY) != player) {
                continue;
            }
            for (int toY = fromY - GameBoard::kJumpDistance; toY <= fromY + GameBoard::kJumpDistance; ++toY) {
                for (int toX = fromX - GameBoard::kJumpDistance; toX <= fromX + GameBoard::kJumpDistance;
                     ++toX) {
                    if (gameBoard->isOnBoard(toX, toY) &&
                        gameBoard->getField(toX, toY) == GameBoard::kEmpty) {
                        moves.push_back(Notation::field(fromX, fromY) + Notation::field(toX, toY));
                    }
                }
            }
        }
    }
    return moves;
}

bool RulesGame::play(std::string_view notation) {
    if (!canPlay(notation)) {
        return false;
    }
    const Move move = *Notation::parseMove(notation);
    // Select, then land, as the table's two clicks do.
    gameBoard->clickField(move.fromX, move.fromY);
    drain();
    if (!gameBoard->canClickField(move.toX, move.toY) || !gameBoard->clickField(move.toX, move.toY)) {
        // Not reached while canPlay agrees with the click guard; the selection goes again.
        gameBoard->clickField(move.fromX, move.fromY);
        drain();
        return false;
    }
    gameBoard->setMoveDone(true);
    drain();
    played.emplace_back(notation);
    return true;
}

bool RulesGame::takeBack() {
    if (played.empty() || !gameBoard->takeBack()) {
        return false;
    }
    knownWinner = kUnknown;
    // The board selects the figure that moved again, as the table shows it;
    // here a move always starts from no selection.
    const int selectedX = gameBoard->getSelectedX();
    if (selectedX != -1) {
        gameBoard->clickField(selectedX, gameBoard->getSelectedY());
        drain();
    }
    played.pop_back();
    return true;
}

bool RulesGame::replay(const std::vector<std::string>& list) {
    reset();
    for (const std::string& move : list) {
        if (!play(move)) {
            reset();
            return false;
        }
    }
    return true;
}

int RulesGame::toMove() const {
    return gameBoard->getCurrentPlayer();
}

int RulesGame::winner() const {
    return result();
}

int RulesGame::result() const {
    if (knownWinner == kUnknown) {
        knownWinner = gameBoard->winner();
    }
    return knownWinner;
}

int RulesGame::countFigures(int player) const {
    return gameBoard->countFields(player);
}

uint64_t RulesGame::hash() const {
    return CompactPosition::fromBoard(*gameBoard, toMove()).key();
}

void RulesGame::drain() {
    knownWinner = kUnknown;
    // The last record of a completed move passes the turn as it is taken out.
    while (gameBoard->popMove()) {
    }
}
