#include "enginematch.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// The same search on both sides at a node budget plays the two games of an
// opening alike with the sides swapped, so every win of the tested side is
// matched by a loss; two threads add up their games. Each kept position is
// labelled for its own player to move, so the labels of a game's consecutive
// positions add up to one.
TEST(EngineMatch, SameSearchOnBothSides_ScoresEven_LabelsEachPositionForItsMover) {
    constexpr long kGames = 4;
    EngineMatch::Options options;
    options.games = kGames;
    options.limits.nodes = 300;
    options.threads = 2;
    options.keepPositions = true;
    const ExpertSearch::Settings settings;
    const EngineMatch::Outcome o = EngineMatch(settings, settings).play(options);

    EXPECT_EQ(o.wins + o.draws + o.losses, kGames);
    EXPECT_EQ(o.wins, o.losses);
    EXPECT_GT(o.wins, 0);
    EXPECT_EQ(o.tested.searches + o.reference.searches, o.moves);
    EXPECT_EQ(static_cast<long>(o.samples.size()), o.moves);
    std::set<long> games;
    for (size_t i = 0; i < o.samples.size(); ++i) {
        const EngineMatch::Sample& s = o.samples[i];
        games.insert(s.game);
        if (i + 1 < o.samples.size() && o.samples[i + 1].game == s.game) {
            const EngineMatch::Sample& next = o.samples[i + 1];
            EXPECT_NE(next.position.toMove(), s.position.toMove());
            EXPECT_EQ(s.result + next.result, 1.0f) << "game " << s.game << ", position " << i;
        }
    }
    EXPECT_EQ(static_cast<long>(games.size()), kGames);
}

} // namespace
