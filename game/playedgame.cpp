#include "game/playedgame.h"

#include "game/gameboard.h"
#include "game/notation.h"

#include <algorithm>

namespace {
constexpr int kSide = CompactPosition::kSide;
} // namespace

CompactPosition PlayedGame::startPosition() {
    CompactPosition start;
    start.setField(0, 0, GameBoard::kPlayer1);
    start.setField(kSide - 1, kSide - 1, GameBoard::kPlayer2);
    return start;
}

std::optional<PlayedGame> PlayedGame::replay(const std::vector<Move>& moves, std::string& reason) {
    if (moves.size() > static_cast<size_t>(kMaxMoves)) {
        reason = "more than " + std::to_string(kMaxMoves) + " moves";
        return std::nullopt;
    }
    PlayedGame game;
    game.positions.reserve(moves.size() + 1);
    game.positions.push_back(startPosition());
    for (size_t i = 0; i < moves.size(); ++i) {
        const Move& m = moves[i];
        const CompactPosition& before = game.positions.back();
        const int mover = before.toMove();
        const std::string name = Notation::move(m);
        const auto refuse = [&](const std::string& why) {
            reason = "move " + std::to_string(i + 1) + (name.empty() ? "" : " " + name) + " " + why;
            return std::nullopt;
        };
        // The notation's own check: two fields on the board one or two apart.
        const std::optional<Move> parsed = Notation::parseMove(name);
        if (!parsed || *parsed != m) {
            return refuse("is not a split or a jump");
        }
        if (before.getField(m.fromX, m.fromY) != mover) {
            return refuse("does not start from a figure of player " + std::to_string(mover));
        }
        if (before.getField(m.toX, m.toY) != GameBoard::kEmpty) {
            return refuse("does not land on an empty field");
        }
        const auto to = static_cast<uint8_t>(CompactPosition::fieldAt(m.toX, m.toY));
        const auto from = static_cast<uint8_t>(CompactPosition::fieldAt(m.fromX, m.fromY));
        const CompactMove compact{m.type == MoveSplit ? to : from, to};
        CompactPosition after = before;
        game.steps.push_back({m, mover, before.conversions(compact)});
        after.play(compact);
        game.positions.push_back(after);
    }
    return game;
}

std::vector<Move> PlayedGame::getMoves() const {
    std::vector<Move> moves;
    moves.reserve(steps.size());
    for (const Step& step : steps) {
        moves.push_back(step.move);
    }
    return moves;
}

const CompactPosition& PlayedGame::positionAfter(int n) const {
    return positions[static_cast<size_t>(std::clamp(n, 0, countMoves()))];
}

std::vector<int32_t> PlayedGame::fieldsAfter(int n) const {
    const CompactPosition& position = positionAfter(n);
    std::vector<int32_t> fields;
    fields.reserve(CompactPosition::kFields);
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            fields.push_back(position.getField(x, y));
        }
    }
    return fields;
}

PlayedGame::Ending PlayedGame::ending() const {
    const int won = winner();
    if (won == 0) {
        return Ending::Unfinished;
    }
    const CompactPosition& last = positionAfter(countMoves());
    const int lost = GameBoard::kPlayer1 + GameBoard::kPlayer2 - won;
    // In the order the board decides a result.
    if (last.count(GameBoard::kPlayer1) + last.count(GameBoard::kPlayer2) == CompactPosition::kFields) {
        return Ending::BoardFull;
    }
    return last.count(lost) == 0 ? Ending::NoFigures : Ending::NoMove;
}
