#include "game/compactposition.h"
#include "game/expertevaluation.h"
#include "game/gameboard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>

namespace {

using Evaluation = ExpertEvaluation;
constexpr int kSide = CompactPosition::kSide;

bool near(int x1, int y1, int x2, int y2, int reach) {
    return std::max(std::abs(x1 - x2), std::abs(y1 - y2)) <= reach;
}

// Fields of player within reach of (x, y), itself excepted.
int around(const CompactPosition& p, int x, int y, int player, int reach) {
    int n = 0;
    for (int v = 0; v < kSide; ++v) {
        for (int u = 0; u < kSide; ++u) {
            n += (u != x || v != y) && near(x, y, u, v, reach) && p.getField(u, v) == player ? 1 : 0;
        }
    }
    return n;
}

// The features counted field by field, the way a player would.
Evaluation::Features countByHand(const CompactPosition& p) {
    const int me = p.toMove();
    Evaluation::Features f{};
    int gain[3] = {0, 0, 0};
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const int value = p.getField(x, y);
            const int sign = value == me ? 1 : -1;
            if (value != 0) {
                f[Evaluation::Material] += sign;
                f[Evaluation::Frontier] += around(p, x, y, 0, 1) > 0 ? sign : 0;
                f[Evaluation::Edge] += x == 0 || y == 0 || x == kSide - 1 || y == kSide - 1 ? sign : 0;
                continue;
            }
            for (const int player : {1, 2}) {
                const int s = player == me ? 1 : -1;
                const bool split = around(p, x, y, player, 1) > 0;
                const bool jump = !split && around(p, x, y, player, 2) > 0;
                f[Evaluation::Reach] += split ? s : 0;
                f[Evaluation::JumpReach] += jump ? s : 0;
                if (split || jump) {
                    gain[player] =
                        std::max(gain[player], 2 * around(p, x, y, 3 - player, 1) + (split ? 1 : 0));
                }
            }
        }
    }
    f[Evaluation::GainToMove] = gain[me];
    f[Evaluation::GainAgainst] = gain[3 - me];
    f[Evaluation::Tempo] = 1;
    return f;
}

// The bit-set shifts must neither wrap a row into the next nor lose the
// board's last fields: positions of every density, both players to move.
TEST(ExpertEvaluation, FeaturesAgreeWithAFieldByFieldCount) {
    std::mt19937 random(7);
    for (int i = 0; i < 300; ++i) {
        GameBoard board;
        const unsigned filled = random() % 101;
        for (int y = 0; y < kSide; ++y) {
            for (int x = 0; x < kSide; ++x) {
                board.setField(x, y, random() % 100 < filled ? 1 + static_cast<int>(random() % 2) : 0);
            }
        }
        const CompactPosition p = CompactPosition::fromBoard(board, 1 + static_cast<int>(random() % 2));
        SCOPED_TRACE(testing::Message() << "position " << i);
        EXPECT_EQ(Evaluation::measure(p), countByHand(p));
    }
}

} // namespace
