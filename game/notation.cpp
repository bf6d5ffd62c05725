#include "game/notation.h"

namespace {

constexpr char kFirstFile = 'a';
constexpr char kFirstRank = '1';

bool onBoard(int x, int y) {
    return x >= 0 && x < GameBoard::kBoardSize && y >= 0 && y < GameBoard::kBoardSize;
}

} // namespace

std::string Notation::field(int x, int y) {
    if (!onBoard(x, y)) {
        return {};
    }
    return {static_cast<char>(kFirstFile + x), static_cast<char>(kFirstRank + y)};
}

std::string Notation::move(const Move& move) {
    if (move.type != MoveSplit && move.type != MoveJump) {
        return {};
    }
    const std::string from = field(move.fromX, move.fromY);
    const std::string to = field(move.toX, move.toY);
    if (from.empty() || to.empty()) {
        return {};
    }
    return from + to;
}

std::optional<GameBoard::Position> Notation::parseField(std::string_view text) {
    if (text.size() != kFieldLength) {
        return std::nullopt;
    }
    const int x = text[0] - kFirstFile;
    const int y = text[1] - kFirstRank;
    if (!onBoard(x, y)) {
        return std::nullopt;
    }
    return GameBoard::Position{x, y};
}

std::optional<Move> Notation::parseMove(std::string_view text) {
    if (text.size() != kMoveLength) {
        return std::nullopt;
    }
    const auto from = parseField(text.substr(0, kFieldLength));
    const auto to = parseField(text.substr(kFieldLength));
    if (!from || !to) {
        return std::nullopt;
    }
    const int distance = GameBoard::distance(from->x, from->y, to->x, to->y);
    if (distance != GameBoard::kSplitDistance && distance != GameBoard::kJumpDistance) {
        return std::nullopt;
    }
    Move move;
    move.fromX = from->x;
    move.fromY = from->y;
    move.toX = to->x;
    move.toY = to->y;
    move.type = distance == GameBoard::kSplitDistance ? MoveSplit : MoveJump;
    return move;
}
