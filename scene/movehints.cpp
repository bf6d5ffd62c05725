#include "scene/movehints.h"

MoveHints::Fields MoveHints::reachable(const GameBoard& board) {
    Fields fields{};
    const int fromX = board.getSelectedX();
    const int fromY = board.getSelectedY();
    if (fromX < 0) {
        return fields;
    }
    for (int x = 0; x < kSize; ++x) {
        for (int y = 0; y < kSize; ++y) {
            // A click on an own figure selects it instead of moving there.
            if (board.getField(x, y) != GameBoard::kEmpty || !board.canClickField(x, y)) {
                continue;
            }
            fields[static_cast<size_t>(x)][static_cast<size_t>(y)] =
                GameBoard::distance(fromX, fromY, x, y) == GameBoard::kSplitDistance ? Split : Jump;
        }
    }
    return fields;
}

std::vector<GameBoard::Position> MoveHints::conversions(const GameBoard& board, const Fields& reachable,
                                                        int x, int y) {
    std::vector<GameBoard::Position> won;
    if (x < 0 || y < 0 || x >= kSize || y >= kSize ||
        reachable[static_cast<size_t>(x)][static_cast<size_t>(y)] == None) {
        return won;
    }
    const int mover = board.getCurrentPlayer();
    for (int fy = y - 1; fy <= y + 1; ++fy) {
        for (int fx = x - 1; fx <= x + 1; ++fx) {
            const int32_t value = board.getField(fx, fy);
            if (value != GameBoard::kEmpty && value != mover) {
                won.push_back({fx, fy});
            }
        }
    }
    return won;
}
